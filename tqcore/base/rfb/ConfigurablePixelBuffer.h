// A full-frame pixel buffer whose format and size its user may change.
#pragma once

#include <rfb/FullFramePixelBuffer.h>

namespace rfb {

class ConfigurablePixelBuffer : public FullFramePixelBuffer {
public:
    using FullFramePixelBuffer::FullFramePixelBuffer;

    virtual void setPF(const PixelFormat& pf) = 0;
    // Width and height; the top-left stays.
    virtual void setSize(const Point& size) = 0;
};

} // namespace rfb
