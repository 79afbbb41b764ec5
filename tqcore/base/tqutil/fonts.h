// The process-wide font cache over the built-in font resources, and the choice of font for a text
// style.
#pragma once

#include <tqutil/Font.h>

#include <plat/Markup.h>

#include <memory>

namespace tqutil {

// The font of the built-in resource "<name>.gz", loaded on the first request and kept until exit.
// Throws plat::Exception "Failed to read font <name>: <reason>" ("resource not found" when there
// is no such resource); a failed name is tried again on the next request.
std::shared_ptr<const Font> getFont(const char* name);

// A regular or, from weight 550, bold face by the style's size times ppmm: "helv21" from 960,
// "helv16" from 484, else "helv15" ("helvB..." for bold). A face that cannot be loaded gives way
// to the next smaller one, bold to regular "helv15" last; only that one's failure is thrown.
std::shared_ptr<const Font> selectFont(const plat::Markup::Style& style);

} // namespace tqutil
