// SPDX-License-Identifier: MIT
// What screen readers see of the game window. Qt describes the window and
// its push buttons by itself; the labels are painted on the view's surface
// and have no widgets, so the view's interface adds one static text for
// each, named by its caption: a screen reader reads "Score:000150".
#pragma once

#include "platform/types.h"

namespace vorlane::desktop {

class View;

// Has Qt's accessibility describe every View as above. Called by the view;
// later calls do nothing.
void installAccessibility();

// Tells listening screen readers of the labels in `area` (client twips)
// whose captions changed. Only worth calling while QAccessible::isActive().
void notifyLabelChanges(View& view, const RectF& area);

}  // namespace vorlane::desktop
