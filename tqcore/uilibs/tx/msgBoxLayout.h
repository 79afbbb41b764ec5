// The arithmetic of the message box: where its icon, text and buttons go and how large the box
// is, from the widgets' preferred sizes.
#pragma once

#include <wvw/WImage.h>
#include <wvw/WLabel.h>
#include <wvw/WLabelButton.h>
#include <wvw/WLayout.h>

#include <vector>

namespace tx {

// Text wider than this wraps.
constexpr int MsgBoxTextWidth = 450;

// Places the widgets (all children of layout; image may be null) and returns the box's size.
rfb::Point layOutMessageBox(wvw::WLayout& layout, wvw::WLabel& label, wvw::WImage* image,
                            const std::vector<wvw::WLabelButton*>& buttons);

// The side of the message box icons: 8 pixels per unit of ppmm, rounded to nearest.
int msgBoxIconSize(int ppmm);

} // namespace tx
