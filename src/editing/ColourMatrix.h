#pragma once

// The 5 x 5 colour matrix through which tuned photos, clip-art and brush stamps are
// drawn, the matrix of one item built from its tuning fields, and its application with
// gamma to a 32-bit picture.
//
// A matrix is applied to the row vector (red, green, blue, alpha, 1) with every
// component in 0..1: result = vector x M. Rows and columns 0..3 are red, green, blue,
// alpha; row 4 is the translation row. A product writes only the first four columns of
// each row, so the last column stays (0, 0, 0, 0, 1).

#include "editing/TuningFields.h"

#include <QImage>

#include <array>
#include <cstdint>

class QPainter;
class QRectF;

// Where an operation's matrix X goes: Prepend gives M <- X x M (X acts first on a
// pixel), Append gives M <- M x X.
enum class MatrixOrder { Prepend, Append };

class ColourMatrix {
public:
    ColourMatrix() { Identity(); }

    void Identity();
    void Scale(float r, float g, float b, float a, MatrixOrder order);
    void Translate(float r, float g, float b, float a, MatrixOrder order);
    // Saturation s about the luminance weights 0.3086, 0.6094, 0.082.
    void Saturation(float s, MatrixOrder order);
    // Rotation by phi degrees in the plane of colour axes x and y (0 red .. 3 alpha).
    void RotateColour(float phi, int x, int y, MatrixOrder order);
    // Axis x gains d1 times axis y1 and d2 times axis y2.
    void ShearColour(int x, int y1, float d1, int y2, float d2, MatrixOrder order);
    // Hue rotation by phi degrees about the grey axis, keeping luminance (appended).
    void RotateHue(float phi);

    // The four-component v times the upper-left 4 x 4, plus row 4.
    std::array<float, 4> TransformVector(const std::array<float, 4>& v) const;

    bool IsIdentity() const;
    // True when the matrix only scales alpha (the identity included); the factor in
    // *alphaScale.
    bool IsAlphaScaleOnly(float* alphaScale) const;

    float At(int row, int column) const { return m[row][column]; }
    float& At(int row, int column) { return m[row][column]; }

    bool operator==(const ColourMatrix&) const = default;

private:
    void Combine(const ColourMatrix& x, MatrixOrder order);

    std::array<std::array<float, 5>, 5> m;
};

// The matrix an item is drawn through: opacity, then (with tuneOn) contrast, brightness,
// saturation, hue and the three colour-plane rotations.
ColourMatrix ItemColourMatrix(float opacity, const Tuning& tuning);
// The gamma an item is drawn with: tuneGamma with tuneOn, else 1.
float ItemGamma(const Tuning& tuning);

// Applies the matrix, clamps every component to 0..1, then raises red, green and blue
// to the power gamma (alpha is not gamma-corrected), in place, on unpremultiplied pixels
// of 4 bytes in the order blue, green, red, alpha (QImage::Format_ARGB32 in memory).
// `stride` is the distance between rows in bytes. Results are rounded to the nearest
// level. The identity with gamma 1 leaves the pixels untouched at no cost.
void ApplyColourMatrix(std::uint8_t* bgra, int width, int height, qsizetype stride,
    const ColourMatrix& matrix, float gamma);

// The picture as drawn through the matrix and gamma, in Format_ARGB32 (a shared copy of
// the source when nothing changes). A null picture gives a null picture.
QImage TunedImage(const QImage& picture, const ColourMatrix& matrix, float gamma);

// Draws the picture into the target rectangle through the matrix and gamma. A matrix
// that only scales alpha, with gamma 1, draws through the painter's opacity instead of
// touching pixels.
void DrawTunedImage(QPainter& painter, const QRectF& target, const QImage& picture,
    const ColourMatrix& matrix, float gamma);
