#include "dragdrop/ArrowPictures.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

namespace {
constexpr int kSize = TBalloonGeometry::kArrowSize;
constexpr int kSamples = 5; // per pixel and axis, for the edges' coverage

struct TVec {
    double X, Y;
};

// The down arrow, in its picture's coordinates (pixel (x, y) spans x..x+1, y..y+1). The head
// is a triangle on the axis x = 24.5 whose point is cut flat at y = 43, so that pixel (24, 42)
// is the tip and is fully covered. The shaft rises on the right, arches over to the left and
// comes down into the head, growing thicker towards it.
constexpr double kAxis = 24.5;
constexpr double kHeadBase = 26.0;
constexpr double kHeadHalfWidth = 13.0;
constexpr double kHeadApex = 43.5;
constexpr double kHeadCut = 43.0;
constexpr TVec kShaft[4] = {{46.0, 17.0}, {42.0, 2.0}, {kAxis, 1.0}, {kAxis, 27.5}}; // cubic
constexpr double kShaftStartWidth = 6.0;
constexpr double kShaftEndWidth = 11.0;

// The shaft's middle line as a polyline along its curve, with the width at each point.
struct TShaft {
    std::vector<TVec> Points;
    std::vector<double> Widths;
    TShaft() {
        constexpr int kSteps = 96;
        for (int k = 0; k <= kSteps; ++k) {
            const double t = static_cast<double>(k) / kSteps, u = 1 - t;
            const double w[4] = {u * u * u, 3 * t * u * u, 3 * t * t * u, t * t * t};
            TVec p{0, 0};
            for (int i = 0; i < 4; ++i)
                p = {p.X + w[i] * kShaft[i].X, p.Y + w[i] * kShaft[i].Y};
            Points.push_back(p);
            Widths.push_back(kShaftStartWidth + (kShaftEndWidth - kShaftStartWidth) * t);
        }
    }
};

// Where a point lies across the arrow: -1 at its left side (seen in the direction it points),
// 0 on its middle line, 1 at its right; false when the point is off the arrow, or farther off
// than Margin.
bool Across(const TShaft& Shaft, TVec p, double& s, double Margin = 0) {
    if (p.Y >= kHeadBase - Margin && p.Y < kHeadCut + Margin) {
        const double half = kHeadHalfWidth * (kHeadApex - p.Y) / (kHeadApex - kHeadBase);
        if (std::fabs(p.X - kAxis) < half + Margin) {
            s = -(p.X - kAxis) / kHeadHalfWidth; // pointing down, the left side lies at +x
            return true;
        }
    }
    double best = 1e9;
    bool on = false;
    for (std::size_t k = 0; k + 1 < Shaft.Points.size(); ++k) {
        const TVec a = Shaft.Points[k], b = Shaft.Points[k + 1];
        const double dx = b.X - a.X, dy = b.Y - a.Y;
        const double len2 = dx * dx + dy * dy;
        const double t = std::clamp(((p.X - a.X) * dx + (p.Y - a.Y) * dy) / len2, 0.0, 1.0);
        const double qx = p.X - (a.X + t * dx), qy = p.Y - (a.Y + t * dy);
        const double dist = std::sqrt(qx * qx + qy * qy);
        const double half = (Shaft.Widths[k] + t * (Shaft.Widths[k + 1] - Shaft.Widths[k])) / 2;
        if (dist < half + Margin && dist / half < best) {
            best = dist / half;
            const double side = dx * qy - dy * qx; // > 0: to the right of the direction
            s = side > 0 ? best : -best;
            on = true;
        }
    }
    return on;
}

struct TColor {
    double R, G, B;
};

TColor Unpack(uint32_t c) {
    return {static_cast<double>((c >> 16) & 0xFF), static_cast<double>((c >> 8) & 0xFF),
            static_cast<double>(c & 0xFF)};
}

uint32_t Pack(TColor c) {
    auto channel = [](double v) {
        return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 255.0)));
    };
    return channel(c.R) << 16 | channel(c.G) << 8 | channel(c.B);
}

TColor Mix(TColor a, TColor b, double t) {
    return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t};
}

// The crimson, lit from the arrow's left: lighter towards its left side, darker towards its
// right, the plain colour along its middle.
TColor Shade(double s) {
    const TColor main = Unpack(kArrowColor);
    if (s < -0.3)
        return Mix(main, {250, 120, 140}, (-s - 0.3) / 0.7 * 0.6);
    if (s > 0.4)
        return Mix(main, {120, 0, 28}, (s - 0.4) / 0.6 * 0.55);
    return main;
}

// The picture's pixel centre or sample (x, y) in the down arrow's coordinates.
TVec ToDown(TArrowPicture Which, double x, double y) {
    switch (Which) {
    case ArrowUp:
        return {kSize - x, kSize - y};
    case ArrowLeft:
        return {y, kSize - x};
    case ArrowRight:
        return {y, x};
    default:
        return {x, y};
    }
}

// What the balloon draws beneath pixel (x, y) of the picture: the shape's fill or outline, or
// nothing (the window's key).
enum TBeneath { Nothing, Fill, Outline };
TBeneath Beneath(const TBalloonParts& Parts, int x, int y) {
    // Only the shape's straight sides meet the arrow; its round corners lie well aside.
    const TRect& s = Parts.Shape;
    const int wx = Parts.Arrow.Left + x, wy = Parts.Arrow.Top + y;
    if (wx < s.Left || wx >= s.Right || wy < s.Top || wy >= s.Bottom)
        return Nothing;
    if (wx == s.Left || wx == s.Right - 1 || wy == s.Top || wy == s.Bottom - 1)
        return Outline;
    return Fill;
}
} // namespace

TPoint ArrowTip(TArrowPicture Which) {
    switch (Which) {
    case ArrowDown:
        return {24, 42};
    case ArrowUp:
        return {25, 7};
    case ArrowLeft:
        return {7, 24};
    case ArrowRight:
        return {42, 24};
    }
    throw std::out_of_range("no arrow picture " + std::to_string(static_cast<int>(Which)));
}

TArrowBitmap ArrowPicture(TArrowPicture Which) {
    ArrowTip(Which); // rejects what is not a picture
    TBalloonGeometry geometry;
    geometry.LayOut(static_cast<int>(Which)); // the pictures are numbered as the edges
    const TBalloonParts& parts = geometry.Parts();
    const TShaft shaft;

    TArrowBitmap b;
    b.Transparent = true;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            b.At(x, y) = kBalloonClear;
            double s = 0;
            if (!Across(shaft, ToDown(Which, x + 0.5, y + 0.5), s, 1.0))
                continue; // no part of the pixel is near the arrow
            TColor sum{0, 0, 0};
            int covered = 0;
            for (int j = 0; j < kSamples; ++j)
                for (int i = 0; i < kSamples; ++i) {
                    const TVec p =
                        ToDown(Which, x + (i + 0.5) / kSamples, y + (j + 0.5) / kSamples);
                    if (!Across(shaft, p, s))
                        continue;
                    const TColor c = Shade(s);
                    sum = {sum.R + c.R, sum.G + c.G, sum.B + c.B};
                    ++covered;
                }
            const double coverage = static_cast<double>(covered) / (kSamples * kSamples);
            const TBeneath beneath = Beneath(parts, x, y);
            if (covered == 0 || (beneath == Nothing && coverage < 0.5))
                continue;
            const TColor arrow{sum.R / covered, sum.G / covered, sum.B / covered};
            const uint32_t under = beneath == Outline ? kBalloonOutline : kBalloonFill;
            uint32_t pixel =
                beneath == Nothing ? Pack(arrow) : Pack(Mix(Unpack(under), arrow, coverage));
            if (pixel == kBalloonClear)
                pixel ^= 1; // a painted pixel never takes the key's colour by chance
            b.At(x, y) = pixel;
        }
    return b;
}
