// 4x4 single-precision matrix, stored column-major exactly as GL reads a
// matrix uniform untransposed: m[4c + r] is row r, column c.
#pragma once

class Mat4 {
public:
    // A new matrix is all zeros, not the identity.
    Mat4();

    // Each builder overwrites the whole matrix with the identity first, then
    // writes its own elements; none composes with what was there.
    void setScale(double x, double y, double z);
    void setTranslation(double x, double y, double z);
    // Rz(c) * Ry(b) * Rx(a) on column vectors; angles in radians.
    void setRotation(double a, double b, double c);

    // Writes one element; an index past 15 changes nothing.
    void set(unsigned index, float value);

    // The product in which this matrix acts first and `other` second
    // (other * this in column-vector terms). Neither operand changes.
    Mat4 multiply(const Mat4& other) const;

    // The sixteen floats in storage order, for the GL upload.
    const float* data() const;

    float m[16];

private:
    void setIdentity();
};
