// Xlib for the toolkit: every toolkit header and source includes Xlib through this header.
// Xlib defines None, Status, True, False and Bool as macros, which would rewrite those words
// where foundation headers use them as names (LogSrc::Status, TimeSource::Jump::None). Those
// headers are therefore parsed here first; a source that needs another header using such a word
// (tqutil/Scaler.h) includes it before any toolkit header.
#pragma once

#include <plat/LogSrc.h>
#include <plat/TimeSource.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
