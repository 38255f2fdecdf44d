#include "layouts/LabelOutlines.h"

#include <QList>
#include <QPointF>

#include <algorithm>

namespace {

// The fixed steps of the jewel-box tray inserts, in points.
constexpr double TraySpineWidth = 62.4;
constexpr double TraySpineHeight = 42.44;
constexpr double TrayNotchOuter = 36.73;
constexpr double TrayNotchInner = 17.01;
constexpr double TrayNotchTop = 11.34;
constexpr double TrayNotchBottom = 28.35;

// The notches of the slim case insert, as fractions of its width.
constexpr double SlimNotchEnd = 0.21691066061;
constexpr double SlimNotchSlope = 0.20260885881;
constexpr double SlimNotchStart = 0.06078265764;
constexpr double SlimNotchDepth = 0.01334834835;
constexpr double SlimCornerDepth = 0.0286036036;

platform::BezierPath closedPolygon(const QList<QPointF>& points)
{
    platform::BezierPath path;
    path.appendBezierPathWithPoints(points);
    path.closePath();
    return path;
}

} // namespace

namespace LabelOutlines {

platform::BezierPath roundedRect(const QRectF& rect, double cornerRadius)
{
    const double r = cornerRadius;
    const QRectF inner = rect.adjusted(r, r, -r, -r);
    platform::BezierPath path;
    path.moveTo(QPointF(rect.left(), rect.top() + r));
    path.appendBezierPathWithArcWithCenter(inner.topLeft(), r, 180, 270);
    path.relativeLineTo(QPointF(inner.width(), 0));
    path.appendBezierPathWithArcWithCenter(QPointF(inner.right(), inner.top()), r, 270, 360);
    path.relativeLineTo(QPointF(0, inner.height()));
    path.appendBezierPathWithArcWithCenter(inner.bottomRight(), r, 0, 90);
    path.relativeLineTo(QPointF(-inner.width(), 0));
    path.appendBezierPathWithArcWithCenter(QPointF(inner.left(), inner.bottom()), r, 90, 180);
    path.closePath();
    path.setLineWidth(0);
    return path;
}

platform::BezierPath slimCaseInsert(const QRectF& rect, double width, bool rotated)
{
    const double X = rect.x(), Y = rect.y(), W = rect.width(), H = rect.height();
    const double end = SlimNotchEnd * width, slope = SlimNotchSlope * width;
    const double start = SlimNotchStart * width, depth = SlimNotchDepth * width;
    const double corner = SlimCornerDepth * width;
    if (!rotated) {
        return closedPolygon({{X + W, Y},
                              {X + W, Y + H},
                              {X + end, Y + H},
                              {X + slope, Y + H - depth},
                              {X + start, Y + H - depth},
                              {X, Y + H - corner},
                              {X, Y + corner},
                              {X + start, Y + depth},
                              {X + slope, Y + depth},
                              {X + end, Y}});
    }
    return closedPolygon({{X, Y},
                          {X + W, Y},
                          {X + W, Y + H - end},
                          {X + W - depth, Y + H - slope},
                          {X + W - depth, Y + H - start},
                          {X + W - corner, Y + H},
                          {X + corner, Y + H},
                          {X + depth, Y + H - start},
                          {X + depth, Y + H - slope},
                          {X, Y + H - end}});
}

platform::BezierPath trayInsert(const QRectF& rect, bool outside, double scale, bool rotated)
{
    const double X = rect.x(), Y = rect.y(), W = rect.width(), H = rect.height();
    const double sw = TraySpineWidth * scale, sh = TraySpineHeight * scale;
    const double no = TrayNotchOuter * scale, ni = TrayNotchInner * scale;
    const double nt = TrayNotchTop * scale, nb = TrayNotchBottom * scale;
    QList<QPointF> inside;
    if (!rotated) {
        inside = {{X, Y + sh},
                  {X + sw, Y + sh},
                  {X + sw, Y},
                  {X + W - no, Y},
                  {X + W - no, Y + nt},
                  {X + W - ni, Y + nt},
                  {X + W - ni, Y + nb},
                  {X + W, Y + nb},
                  {X + W, Y + H - nb},
                  {X + W - ni, Y + H - nb},
                  {X + W - ni, Y + H - nt},
                  {X + W - no, Y + H - nt},
                  {X + W - no, Y + H},
                  {X + sw, Y + H},
                  {X + sw, Y + H - sh},
                  {X, Y + H - sh}};
    } else {
        inside = {
            {X + sh, Y + H},  {X + sh, Y + H - sw}, {X, Y + H - sw},          {X, Y + no},
            {X + nt, Y + no}, {X + nt, Y + ni},     {X + nb, Y + ni},         {X + nb, Y},
            {X + W - nb, Y},  {X + W - nb, Y + ni}, {X + W - nt, Y + ni},     {X + W - nt, Y + no},
            {X + W, Y + no},  {X + W, Y + H - sw},  {X + W - sh, Y + H - sw}, {X + W - sh, Y + H}};
    }
    if (!outside)
        return closedPolygon(inside);

    // The outside insert is the inside one mirrored left to right on the unturned sheet
    // (top to bottom on the turned one). Mirrored it runs the other way round; taken
    // backwards from the same first corner it runs like every other outline again.
    for (QPointF& point : inside) {
        if (rotated)
            point.setY(2 * Y + H - point.y());
        else
            point.setX(2 * X + W - point.x());
    }
    std::reverse(inside.begin() + 1, inside.end());
    return closedPolygon(inside);
}

} // namespace LabelOutlines
