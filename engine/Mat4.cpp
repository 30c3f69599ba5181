#include "Mat4.h"

#include <cmath>

Mat4::Mat4()
    : m{}
{
}

void Mat4::setIdentity()
{
    for (int i = 0; i < 16; ++i)
        m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

void Mat4::setScale(double x, double y, double z)
{
    setIdentity();
    m[0] = static_cast<float>(x);
    m[5] = static_cast<float>(y);
    m[10] = static_cast<float>(z);
}

void Mat4::setTranslation(double x, double y, double z)
{
    setIdentity();
    m[12] = static_cast<float>(x);
    m[13] = static_cast<float>(y);
    m[14] = static_cast<float>(z);
}

void Mat4::setRotation(double a, double b, double c)
{
    // Angles go to single precision first; sine and cosine are taken in
    // double and rounded, and every product below is single precision.
    const double fa = static_cast<float>(a);
    const double fb = static_cast<float>(b);
    const double fc = static_cast<float>(c);
    const float ca = static_cast<float>(std::cos(fa)), sa = static_cast<float>(std::sin(fa));
    const float cb = static_cast<float>(std::cos(fb)), sb = static_cast<float>(std::sin(fb));
    const float cc = static_cast<float>(std::cos(fc)), sc = static_cast<float>(std::sin(fc));

    setIdentity();
    m[0] = cc * cb;
    m[1] = sc * cb;
    m[2] = -sb;
    m[4] = sa * sb * cc - ca * sc;
    m[5] = sa * sb * sc + ca * cc;
    m[6] = sa * cb;
    m[8] = ca * sb * cc + sa * sc;
    m[9] = ca * sb * sc - sa * cc;
    m[10] = ca * cb;
}

void Mat4::set(unsigned index, float value)
{
    if (index <= 15)
        m[index] = value;
}

Mat4 Mat4::multiply(const Mat4& other) const
{
    const float* a = m;
    const float* b = other.m;
    Mat4 r;
    for (int k = 0; k < 4; ++k) {
        for (int c = 0; c < 4; ++c) {
            float sum = a[4 * k] * b[c];
            sum = sum + a[4 * k + 1] * b[4 + c];
            sum = sum + a[4 * k + 2] * b[8 + c];
            sum = sum + a[4 * k + 3] * b[12 + c];
            r.m[4 * k + c] = sum;
        }
    }
    return r;
}

const float* Mat4::data() const
{
    return m;
}
