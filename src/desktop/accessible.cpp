// SPDX-License-Identifier: MIT
#include "desktop/accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "desktop/view.h"
#include "platform/controls.h"
#include "platform/window.h"

namespace vorlane::desktop {

namespace {

std::vector<const Label*> surfaceLabels(const Window& window) {
  std::vector<const Label*> labels;
  for (const Control* c : window.surface()) {
    if (c->kind() == ControlKind::Label) labels.push_back(static_cast<const Label*>(c));
  }
  return labels;
}

// A label on the view's surface. The window makes its labels afresh each
// time it loads, so the interface holds the label's name and looks the
// label up whenever it is asked.
class LabelAccessible final : public QAccessibleInterface {
 public:
  LabelAccessible(View* view, std::string name) : view_(view), name_(std::move(name)) {
    lastCaption_ = text(QAccessible::Name);
  }

  const std::string& name() const { return name_; }

  // Whether the caption differs from when this was last asked.
  bool captionChanged() {
    const QString caption = text(QAccessible::Name);
    if (caption == lastCaption_) return false;
    lastCaption_ = caption;
    return true;
  }

  bool isValid() const override { return label() != nullptr; }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return view_ ? view_->windowHandle() : nullptr; }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(view_.data());
  }
  QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface* /*child*/) const override { return -1; }
  QAccessibleInterface* childAt(int /*x*/, int /*y*/) const override { return nullptr; }
  QAccessible::Role role() const override { return QAccessible::StaticText; }
  void setText(QAccessible::Text /*t*/, const QString& /*text*/) override {}

  // The name is the caption; a caption "Name:value" has the value too.
  QString text(QAccessible::Text t) const override {
    const Label* label = this->label();
    if (label == nullptr) return {};
    const QString caption = QString::fromStdString(label->caption());
    if (t == QAccessible::Name) return caption;
    if (t == QAccessible::Value) {
      const qsizetype colon = caption.lastIndexOf(QLatin1Char(':'));
      return colon < 0 ? QString() : caption.mid(colon + 1);
    }
    return {};
  }

  QRect rect() const override {
    const Label* label = this->label();
    if (label == nullptr) return {};
    const QRect r = View::pixelRect(label->bounds());
    return {view_->mapToGlobal(r.topLeft()), r.size()};
  }

  QAccessible::State state() const override {
    QAccessible::State s;
    s.readOnly = true;
    const Label* label = this->label();
    s.invisible = label == nullptr || !label->visible() || !view_->isVisible();
    return s;
  }

 private:
  const Label* label() const {
    if (!view_) return nullptr;
    for (const Label* label : surfaceLabels(view_->model())) {
      if (label->name() == name_) return label;
    }
    return nullptr;
  }

  QPointer<View> view_;
  std::string name_;
  QString lastCaption_;
};

// The view: the window, named by its caption, whose children are its push
// buttons and panels (as Qt describes them) and then its surface labels.
class ViewAccessible final : public QAccessibleWidget {
 public:
  explicit ViewAccessible(View* view) : QAccessibleWidget(view, QAccessible::Window) {}
  ViewAccessible(const ViewAccessible&) = delete;
  ViewAccessible& operator=(const ViewAccessible&) = delete;

  ~ViewAccessible() override {
    for (const QAccessible::Id id : labelIds_) QAccessible::deleteAccessibleInterface(id);
  }

  int childCount() const override {
    return QAccessibleWidget::childCount() + static_cast<int>(labels().size());
  }

  QAccessibleInterface* child(int index) const override {
    const int widgets = QAccessibleWidget::childCount();
    if (index < widgets) return QAccessibleWidget::child(index);
    const std::vector<const Label*> labels = this->labels();
    const auto n = static_cast<std::size_t>(index - widgets);
    return n < labels.size() ? interfaceFor(*labels[n]) : nullptr;
  }

  int indexOfChild(const QAccessibleInterface* child) const override {
    for (const QAccessible::Id id : labelIds_) {
      if (QAccessible::accessibleInterface(id) != child) continue;
      const std::vector<const Label*> labels = this->labels();
      const auto& name = static_cast<const LabelAccessible*>(child)->name();
      for (std::size_t n = 0; n < labels.size(); ++n) {
        if (labels[n]->name() == name) return QAccessibleWidget::childCount() + static_cast<int>(n);
      }
      return -1;
    }
    return QAccessibleWidget::indexOfChild(child);
  }

  // Buttons and panels lie above the labels.
  QAccessibleInterface* childAt(int x, int y) const override {
    if (QAccessibleInterface* widget = QAccessibleWidget::childAt(x, y)) return widget;
    for (const Label* label : labels()) {
      QAccessibleInterface* iface = interfaceFor(*label);
      if (!iface->state().invisible && iface->rect().contains(x, y)) return iface;
    }
    return nullptr;
  }

  // A label nobody has asked for yet starts from the caption it has now.
  void notifyLabelChanges(const RectF& area) {
    for (const Label* label : labels()) {
      if (!label->bounds().intersects(area)) continue;
      LabelAccessible* iface = interfaceFor(*label);
      if (!iface->captionChanged()) continue;
      QAccessibleEvent nameChanged(iface, QAccessible::NameChanged);
      QAccessible::updateAccessibility(&nameChanged);
    }
  }

 private:
  View* view() const { return static_cast<View*>(widget()); }
  std::vector<const Label*> labels() const { return surfaceLabels(view()->model()); }

  // One interface for each label name, made when first asked for and owned
  // by Qt's registry until the view goes.
  LabelAccessible* interfaceFor(const Label& label) const {
    for (const QAccessible::Id id : labelIds_) {
      auto* iface = static_cast<LabelAccessible*>(QAccessible::accessibleInterface(id));
      if (iface->name() == label.name()) return iface;
    }
    auto* iface = new LabelAccessible(view(), label.name());
    labelIds_.push_back(QAccessible::registerAccessibleInterface(iface));
    return iface;
  }

  mutable std::vector<QAccessible::Id> labelIds_;
};

QAccessibleInterface* viewFactory(const QString& /*className*/, QObject* object) {
  auto* view = qobject_cast<View*>(object);
  return view != nullptr ? new ViewAccessible(view) : nullptr;
}

}  // namespace

void installAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(viewFactory);
    return true;
  }();
  (void)installed;
}

void notifyLabelChanges(View& view, const RectF& area) {
  if (auto* iface = dynamic_cast<ViewAccessible*>(QAccessible::queryAccessibleInterface(&view))) {
    iface->notifyLabelChanges(area);
  }
}

}  // namespace vorlane::desktop
