#include "Framebuffer.h"

#include <cstring>

Framebuffer::Framebuffer(int width, int height)
    : width(width)
    , height(height)
{
    glGenFramebuffers(1, &fbo);
    glGenRenderbuffers(1, &colour);
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    bind();
}

Framebuffer::~Framebuffer()
{
    glDeleteFramebuffers(1, &fbo);
    glDeleteRenderbuffers(1, &colour);
    glDeleteRenderbuffers(1, &depth);
}

bool Framebuffer::complete() const
{
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void Framebuffer::bind()
{
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glViewport(0, 0, width, height);
}

std::vector<uint8_t> Framebuffer::readPixels() const
{
    std::vector<uint8_t> pixels;
    readPixels(pixels);
    return pixels;
}

void Framebuffer::readPixels(std::vector<uint8_t>& out) const
{
    const size_t row = static_cast<size_t>(width) * 4;
    out.resize(row * height);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
    // GL reads bottom row first; turn the rows over in place.
    std::vector<uint8_t> swap(row);
    for (int y = 0; y < height / 2; ++y) {
        uint8_t* top = out.data() + row * y;
        uint8_t* bottom = out.data() + row * (height - 1 - y);
        std::memcpy(swap.data(), top, row);
        std::memcpy(top, bottom, row);
        std::memcpy(bottom, swap.data(), row);
    }
}
