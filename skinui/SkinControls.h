// Skinned controls of the program's windows (unit SkinControls): the base
// classes, the panel, the label and the push button, one unit each.
//
//   SkinControlBase   TksSkinControl, TksSkinCustomControl
//   SkinPanel         TksSkinPanel
//   SkinStdLabel      TksSkinStdLabel
//   SkinButton        TksSkinButton
//   CanvasText        TksCanvasText, text measuring over a canvas
#pragma once

#include "skinui/CanvasText.h"
#include "skinui/SkinButton.h"
#include "skinui/SkinControlBase.h"
#include "skinui/SkinPanel.h"
#include "skinui/SkinStdLabel.h"
#include "skinui/paint/ControlLayout.h"
