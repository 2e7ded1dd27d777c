// SPDX-License-Identifier: MIT
#include "desktop/view.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QVarLengthArray>
#include <algorithm>
#include <cmath>
#include <utility>

#include "desktop/accessible.h"
#include "desktop/key_events.h"
#include "platform/view_core.h"

namespace vorlane::desktop {

namespace {

// Painters draw in twips; this maps them to logical pixels.
const QTransform kTwipsToPixels = QTransform::fromScale(1.0 / kTwipsPerPixel, 1.0 / kTwipsPerPixel);

// Hatch lines lie 8 pixels apart, as in the classic 8 x 8 brush patterns.
constexpr qreal kHatchSpacing = 8 * kTwipsPerPixel;

QColor qColour(Colour c) {
  return QColor(static_cast<int>(redOf(c)), static_cast<int>(greenOf(c)),
                static_cast<int>(blueOf(c)));
}

QRect toQRect(const PixelBox& b) { return {b.left, b.top, b.width(), b.height()}; }
PixelBox toPixelBox(const QRect& r) { return {r.left(), r.top(), r.right() + 1, r.bottom() + 1}; }

// FillStyle 6 (horizontal and vertical lines) or 7 (both diagonals) over
// `area`, in black one device pixel wide whatever the scale. The lines are
// anchored to the painter's origin, so neighbouring rectangles continue
// each other's pattern. Each line is cut to the area by hand, in twips, so
// that its pixels are those of the area's lines at every scale. They go to
// the painter in one call: a block's dozen lines cost one call's set-up.
void paintHatch(QPainter& p, const QRectF& a, int fillStyle) {
  static const QPen pen = [] {
    QPen cosmetic(Qt::black);
    cosmetic.setWidth(0);
    cosmetic.setCosmetic(true);
    return cosmetic;
  }();
  const auto firstAbove = [](qreal v) { return std::ceil(v / kHatchSpacing) * kHatchSpacing; };
  QVarLengthArray<QLineF, 64> lines;
  if (fillStyle == 6) {
    for (qreal x = firstAbove(a.left()); x < a.right(); x += kHatchSpacing) {
      lines.append(QLineF(x, a.top(), x, a.bottom()));
    }
    for (qreal y = firstAbove(a.top()); y < a.bottom(); y += kHatchSpacing) {
      lines.append(QLineF(a.left(), y, a.right(), y));
    }
  } else if (fillStyle == 7) {
    // Lines x - y = c: on each, x = y + c for y where both lie in the area.
    for (qreal c = firstAbove(a.left() - a.bottom()); c < a.right() - a.top(); c += kHatchSpacing) {
      const qreal y0 = std::max(a.top(), a.left() - c);
      const qreal y1 = std::min(a.bottom(), a.right() - c);
      if (y0 < y1) lines.append(QLineF(y0 + c, y0, y1 + c, y1));
    }
    // Lines x + y = c: x = c - y.
    for (qreal c = firstAbove(a.left() + a.top()); c < a.right() + a.bottom(); c += kHatchSpacing) {
      const qreal y0 = std::max(a.top(), c - a.right());
      const qreal y1 = std::min(a.bottom(), c - a.left());
      if (y0 < y1) lines.append(QLineF(c - y0, y0, c - y1, y1));
    }
  }
  if (lines.isEmpty()) return;
  p.setPen(pen);
  p.drawLines(lines.constData(), static_cast<int>(lines.size()));
}

// The desktop's canvas: a painter that works in twips. Device pixels are
// handed back to it in twips, which its transform maps onto the same whole
// device pixels; the hatch lines are drawn in twips, one device pixel wide.
class PainterCanvas final : public Canvas {
 public:
  // `fonts` may be null where no text is drawn (panels).
  PainterCanvas(QPainter& p, FontCache* fonts)
      : p_(p), fonts_(fonts), twipsPerDevice_(kTwipsPerPixel / p.device()->devicePixelRatioF()) {
    p_.setWorldTransform(kTwipsToPixels);
  }

  // Everything drawn from now on stays inside `area` (logical pixels).
  void clipTo(const QRect& area) {
    clip_ = QRectF(area.x() * kTwipsPerPixel, area.y() * kTwipsPerPixel,
                   area.width() * kTwipsPerPixel, area.height() * kTwipsPerPixel);
    clipped_ = true;
    p_.setClipRect(clip_);
  }

  void fill(const PixelBox& device, Colour colour) override {
    p_.fillRect(twips(device), qColour(colour));
  }

  void hatch(const PixelBox& device, const TwipsBox& area, int style) override {
    // The border is drawn before the hatch, and a line's cap may reach a
    // pixel past the area into it: the lines are clipped to the area's
    // whole device pixels.
    const QRectF box = twips(device);
    p_.setClipRect(clipped_ ? box & clip_ : box);
    paintHatch(p_, QRectF(area.left, area.top, area.width, area.height), style);
    if (clipped_) {
      p_.setClipRect(clip_);
    } else {
      p_.setClipping(false);
    }
  }

  // The text is drawn in pixel space with a pixel-sized font, so the
  // glyphs are rendered for the screen rather than scaled down from twips.
  void text(const TextRun& run) override {
    if (fonts_ == nullptr) return;
    int flags = static_cast<int>(Qt::AlignLeft) | static_cast<int>(Qt::AlignTop);
    if (run.wrap) flags |= Qt::TextWordWrap;
    p_.setWorldTransform(QTransform());
    p_.setFont(fonts_->get(run.font));
    p_.setPen(qColour(run.colour));
    p_.drawText(QRectF(run.left, run.top, run.width, run.height), flags,
                QString::fromStdString(run.text));
    p_.setWorldTransform(kTwipsToPixels);
  }

 private:
  QRectF twips(const PixelBox& d) const {
    return {d.left * twipsPerDevice_, d.top * twipsPerDevice_, d.width() * twipsPerDevice_,
            d.height() * twipsPerDevice_};
  }

  QPainter& p_;
  FontCache* fonts_;
  qreal twipsPerDevice_;
  QRectF clip_;
  bool clipped_ = false;
};

// A push button whose caption wraps onto more lines when it is too wide for
// one, as captions of desktop buttons do: "Game Over" in its large font
// needs two.
class CaptionButton final : public QPushButton {
 public:
  CaptionButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {}

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    p.drawControl(QStyle::CE_PushButton, option);  // the bevel, without a label
    const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    p.drawItemText(area, static_cast<int>(Qt::AlignCenter) | Qt::TextWordWrap, palette(),
                   isEnabled(), text(), QPalette::ButtonText);
  }
};

// A panel: a plain area of its colour that carries and clips its rectangles,
// whose coordinates are relative to the panel.
class PanelWidget final : public QWidget {
 public:
  PanelWidget(const Panel& panel, QWidget* parent) : QWidget(parent), panel_(&panel) {
    setAttribute(Qt::WA_OpaquePaintEvent);
  }
  // The model panel is gone: paint nothing of it any more.
  void forget() { panel_ = nullptr; }

 protected:
  void paintEvent(QPaintEvent* event) override {
    if (panel_ == nullptr) return;
    QPainter p(this);
    PainterCanvas canvas(p, nullptr);
    Painter(canvas, devicePixelRatioF()).panel(*panel_, toPixelBox(event->rect()));
  }

 private:
  const Panel* panel_;
};

}  // namespace

View::View(Window& window) : WidgetView(window) {
  installAccessibility();
  setFocusPolicy(Qt::StrongFocus);
  // The view paints its whole surface, background included.
  setAttribute(Qt::WA_OpaquePaintEvent);
  window_.setTextMetrics(&metrics_);
  window_.setObserver(this);
  // Keys reach the game whichever of the window's widgets has the focus.
  qApp->installEventFilter(this);
  windowChanged();
}

View::~View() {
  qApp->removeEventFilter(this);
  window_.setObserver(nullptr);
  if (window_.textMetrics() == &metrics_) window_.setTextMetrics(nullptr);
}

QRect View::pixelRect(const RectF& twips) { return toQRect(vorlane::pixelRect(twips)); }

QWidget* View::widgetFor(const Control& control) const {
  const Entry* e = widgets_.find(control);
  return e != nullptr ? e->widget : nullptr;
}

void View::surfaceDamaged(const RectF& area) {
  // A tick changes a dozen rectangles. Their damage is gathered into one
  // rectangle: the first asks Qt for a paint, and the whole is handed over
  // when Qt's update request comes (event()). Qt's dirty-region bookkeeping
  // runs twice instead of a dozen times, one event is posted a tick, and
  // the painter clips to one rectangle, not a region of many bands; what
  // the larger area repaints comes out unchanged. Damage outside the view
  // never shows and is left out.
  const QRect pixels = toQRect(damagedPixels(area)) & rect();
  if (!pixels.isEmpty()) {
    if (damage_.empty()) update(pixels);
    damage_.add(toPixelBox(pixels));
  }
  // A label's new caption is news for a screen reader.
  if (QAccessible::isActive()) notifyLabelChanges(*this, area);
}

void View::windowChanged() {
  const bool loaded = syncLoaded();
  setWindowTitle(QString::fromStdString(window_.caption()));
  // A load sets the design size before the window counts as loaded, and
  // then its own; the design size is never seen, so it is not passed on.
  const QSize client = toQRect(clientPixels(window_)).size();
  if (loaded && !client.isEmpty() && (minimumSize() != client || maximumSize() != client)) {
    setFixedSize(client);
  }
  if (loaded && !wasLoaded_) {
    // Centred each time the window is made, once the load has set its size.
    centrePending_ = true;
    if (isVisible()) {
      QMetaObject::invokeMethod(
          this, [this] { centreOnScreen(); }, Qt::QueuedConnection);
    }
  }
  wasLoaded_ = loaded;
  update();
}

void View::setVisible(bool visible) {
  if (visible && !isVisible()) centreOnScreen();
  QWidget::setVisible(visible);
}

void View::centreOnScreen() {
  if (!centrePending_) return;
  centrePending_ = false;
  const QScreen* screen = this->screen();
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect available = screen->availableGeometry();
  QRect frame = frameGeometry();
  frame.moveCenter(available.center());
  // On a screen too small for it, the caption bar at least stays in reach.
  move(std::max(frame.left(), available.left()), std::max(frame.top(), available.top()));
}

bool View::makeWidget(Control& model, QWidget*& widget) {
  widget = createWidget(model);
  return widget != nullptr;
}

QWidget* View::createWidget(Control& control) {
  if (control.kind() == ControlKind::PushButton) {
    const auto& model = static_cast<const PushButton&>(control);
    auto* button = new CaptionButton(QString::fromStdString(model.caption()), this);
    button->setFont(fonts_.get(model.font()));
    // The keyboard belongs to the game. Only Tab gives a button the focus (a
    // click does not), so that a player without a mouse can reach it; Space
    // or Enter then presses it (see eventFilter).
    button->setFocusPolicy(Qt::TabFocus);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, button] { buttonClicked(button); });
    return button;
  }
  if (control.kind() == ControlKind::Panel) {
    return new PanelWidget(static_cast<const Panel&>(control), this);
  }
  return nullptr;  // rectangles and labels are drawn on the surface
}

void View::placeWidget(Entry& entry) {
  const QRect area = pixelRect(entry.model->bounds());
  entry.widget->setGeometry(area);
  // A window manager that ignores the fixed size (or none) may make the
  // window larger than its design, and nothing of the game may show in the
  // extra space: the curtain's lower panel, for one, stays shown below the
  // client area once the curtain has opened. A widget is cut to the design
  // client area, and one wholly outside it is not shown; the model keeps
  // its state.
  const QRect inside = area & toQRect(clientPixels(window_));
  if (inside == area) {
    entry.widget->clearMask();
  } else if (!inside.isEmpty()) {
    entry.widget->setMask(inside.translated(-area.topLeft()));
  }
  const bool shown = entry.model->visible() && !inside.isEmpty();
  if (!shown) releaseFocus(entry.widget);
  entry.widget->setVisible(shown);
  // A panel's rectangles have no widgets of their own.
  if (entry.model->kind() == ControlKind::Panel) entry.widget->update();
}

void View::dropWidget(QWidget* widget) {
  // This may run inside the widget's own clicked signal (the "Game Over"
  // button unloads the window), so it is only hidden and cut off here and
  // deleted once control is back in the event loop.
  releaseFocus(widget);
  widget->hide();
  disconnect(widget, nullptr, this, nullptr);
  if (auto* panel = dynamic_cast<PanelWidget*>(widget)) panel->forget();
  widget->deleteLater();
}

void View::stackWidgets(const std::vector<QWidget*>& backToFront) {
  // raise() in back-to-front order leaves the widgets stacked as the model's.
  for (QWidget* widget : backToFront) widget->raise();
}

void View::releaseFocus(QWidget* widget) {
  // Left to itself Qt would pass the focus of a button that goes to the next
  // one in the chain; it returns to the view, which the game's keys belong to.
  // focusWidget() is the window's focus child, also while it is not active.
  if (focusWidget() == widget) setFocus(Qt::OtherFocusReason);
}

bool View::focusNextPrevChild(bool next) {
  const Entry* target = widgets_.nextInTabOrder(focusWidget(), next, [](QWidget* w) {
    return !w->isHidden() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) != 0;
  });
  if (target == nullptr) return false;
  target->widget->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
  return true;
}

QPushButton* View::focusedButton(QObject* watched) const {
  auto* button = qobject_cast<QPushButton*>(watched);
  if (button == nullptr || !button->hasFocus() || button->isHidden()) return nullptr;
  const auto it = std::find_if(widgets_.begin(), widgets_.end(),
                               [&](const Entry& e) { return e.widget == button; });
  return it != widgets_.end() ? button : nullptr;
}

void View::buttonClicked(QPushButton* button) {
  if (inputHook_) inputHook_();
  const auto it = std::find_if(widgets_.begin(), widgets_.end(),
                               [&](const Entry& e) { return e.widget == button; });
  if (it == widgets_.end()) return;
  auto& model = static_cast<PushButton&>(*it->model);
  // The handler may unload the window, which destroys the model button and
  // changes widgets_: nothing of either is touched after this call.
  model.click();
}

bool View::event(QEvent* event) {
  // Qt is about to paint what it was asked to: the damage gathered since the
  // first is added to it, while the request is still marked as sent, so that
  // no second one is posted.
  if (event->type() == QEvent::UpdateRequest && !damage_.empty()) {
    for (const PixelBox& a : damage_.areas()) update(toQRect(a));
    damage_.clear();
  }
  return QWidget::event(event);
}

void View::paintEvent(QPaintEvent* event) {
  // A paint that covers the damage not yet handed to Qt (a repaint() of the
  // whole view, say) leaves none behind.
  if (!damage_.empty() &&
      std::all_of(damage_.areas().begin(), damage_.areas().end(), [event](const PixelBox& a) {
        return (QRegion(toQRect(a)) - event->region()).isEmpty();
      })) {
    damage_.clear();
  }
  QPainter p(this);
  PainterCanvas canvas(p, &fonts_);
  const Painter painter(canvas, devicePixelRatioF());
  const QRect dirty = event->rect();
  // Beyond the design client area, should the window be larger (see
  // placeWidget), only the background.
  const QRect design = toQRect(clientPixels(window_));
  if (design.contains(dirty)) {
    painter.surface(window_, toPixelBox(dirty));
    return;
  }
  canvas.fill(toDevice(toPixelBox(dirty), devicePixelRatioF()), window_.backColor());
  const QRect inside = dirty & design;
  if (inside.isEmpty()) return;
  canvas.clipTo(design);
  painter.surface(window_, toPixelBox(inside));
}

bool View::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType() ||
      static_cast<QWidget*>(watched)->window() != this) {
    return QWidget::eventFilter(watched, event);
  }
  const auto* key = static_cast<QKeyEvent*>(event);
  // Three keys are Qt's rather than the game's, and only where the game
  // ignores them: Tab moves the focus while a button is on show to take it
  // (Ctrl or Alt with Tab is no focus move in Qt either), and Space or Enter
  // presses the button that has it. The button does Space itself, pressed
  // down on the key-down and clicked on the key-up, as a mouse click is.
  const Qt::KeyboardModifiers mods = key->modifiers();
  if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
      !(mods & (Qt::ControlModifier | Qt::AltModifier)) &&
      focusNextPrevChild(key->key() == Qt::Key_Tab && !(mods & Qt::ShiftModifier))) {
    return true;
  }
  if (QPushButton* button = focusedButton(watched)) {
    if (key->key() == Qt::Key_Space) return false;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      button->click();  // may delete the model button; the Qt one lives until the event loop
      return true;
    }
  }
  const std::optional<std::uint16_t> code = virtualKey(key->key(), key->nativeScanCode());
  if (!code) return false;
  // Auto-repeats are key-downs as well.
  if (inputHook_) inputHook_();
  window_.keyDown(*code, shiftState(key->modifiers()));
  return true;
}

}  // namespace vorlane::desktop
