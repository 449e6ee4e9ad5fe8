#include "shapes/CMultiPoint.h"
#include "shapes/CPolyLine.h"
#include "shapes/CPolygon.h"
#include "shapes/ShapeError.h"
#include "shapes/ShapeTestSupport.h"
#include "support/TestEnvironment.h"

#include <cmath>

namespace trekora {
namespace {

using test::expectShapeError;
using test::part;
using test::TestEnvironment;
namespace err = shape_errors;

CPointPtr pt(double x, double y) {
    return std::make_shared<CPoint>(x, y);
}

template <class Shape> std::shared_ptr<Shape> shapeOf(std::initializer_list<CPartPtr> parts) {
    auto s = std::make_shared<Shape>();
    for (const auto& p : parts)
        s->Add(p);
    return s;
}

struct Box {
    double left, right, bottom, top;
};

template <class T> void expectBox(const T& shape, Box box) {
    EXPECT_EQ(shape.Left(), box.left);
    EXPECT_EQ(shape.Right(), box.right);
    EXPECT_EQ(shape.Bottom(), box.bottom);
    EXPECT_EQ(shape.Top(), box.top);
}

TEST(Geometry, PartExtentFollowsAddedAndRemovedPoints) {
    auto p = part({{3, 1}, {1, 5}, {2, 2}});
    expectBox(*p, {1, 3, 1, 5});
    p->Remove(2); // (1, 5) goes: extent fits (3, 1), (2, 2)
    expectBox(*p, {2, 3, 1, 2});
    EXPECT_EQ(p->Count(), 2);
    EXPECT_EQ(p->Item(2)->X(), 2);
    p->Remove(1);
    p->Remove(1); // the last point: the extent keeps its values
    expectBox(*p, {2, 2, 2, 2});
    expectShapeError([&] { p->Remove(1); }, err::kSubscriptOutOfRange,
                     QStringLiteral("CPart::Remove"));
    expectShapeError([&] { p->Item(0); }, err::kSubscriptOutOfRange, QStringLiteral("CPart::Item"));
}

TEST(Geometry, ContainersStartEmptyAndTakeTheFirstElementsBox) {
    CPolyLine line;
    CPolygon polygon;
    CMultiPoint multi;
    for (const IShape* s : std::initializer_list<const IShape*>{&line, &polygon, &multi}) {
        expectBox(*s, {0, 0, 0, 0});
        EXPECT_FALSE(s->IsNull());
    }
    line.Add(part({{1000, 2000}, {1010, 1990}}));
    expectBox(line, {1000, 1010, 1990, 2000});
    multi.Add(pt(-50, 70));
    expectBox(multi, {-50, -50, 70, 70});
    multi.Add(pt(-60, 80));
    expectBox(multi, {-60, -50, 70, 80});
}

TEST(Geometry, RemovedPartsStayInsideTheExtent) {
    auto line = shapeOf<CPolyLine>({part({{0, 0}, {1, 1}}), part({{5, 5}, {9, 9}})});
    line->Remove(2);
    EXPECT_EQ(line->Count(), 1);
    expectBox(*line, {0, 9, 0, 9});
    expectShapeError([&] { line->Remove(3); }, err::kSubscriptOutOfRange,
                     QStringLiteral("CPolyLine::Remove"));
    auto polygon = shapeOf<CPolygon>({part({{0, 0}, {1, 1}})});
    expectShapeError([&] { polygon->Remove(0); }, err::kSubscriptOutOfRange,
                     QStringLiteral("C_Polygon::Remove"));
}

TEST(Geometry, ContainersRefuseElementsOfAnotherClass) {
    const std::int32_t wrong = static_cast<std::int32_t>(0x8004020Fu);
    CMultiPoint multi;
    expectShapeError(
        [&] {
            multi.Add(part({{1, 1}}));
        },
        wrong, QStringLiteral("CMultiPoint::Add"),
        QStringLiteral("CMultiPoint Add can only accept objects of type CPoints"));
    EXPECT_EQ(multi.Count(), 0);
    CPolyLine line;
    line.Add(part({{1, 1}, {2, 2}}));
    expectShapeError([&] { line.Add(pt(50, 50)); }, wrong, QStringLiteral("CPolyLine::Add"),
                     QStringLiteral("CPolyLine Add can only accept objects of type CPart"));
    EXPECT_EQ(line.Count(), 1);
    expectBox(line, {1, 2, 1, 2});
    CPolygon polygon;
    expectShapeError([&] { polygon.Add(std::make_shared<CRect>()); }, wrong,
                     QStringLiteral("CPolygon::Add"),
                     QStringLiteral("CPolygon Add can only accept objects of type CPart"));
    CPart p;
    expectShapeError([&] { p.Add(nullptr); }, wrong, QStringLiteral("CPart::Add"),
                     QStringLiteral("CPart can only accept objects of type CPoint"));
    expectShapeError([&] { p.Add(std::make_shared<CMultiPoint>()); }, wrong,
                     QStringLiteral("CPart::Add"));
}

TEST(Geometry, SharedPointsChangeContentButNotExtent) {
    auto shared = pt(1, 1);
    CPart a, b;
    a.Add(shared);
    b.Add(shared);
    shared->SetX(7);
    EXPECT_EQ(a.Item(1)->X(), 7);
    EXPECT_EQ(b.Item(1)->X(), 7);
    EXPECT_EQ(a.Right(), 1);
}

TEST(Geometry, RectStoresSidesUnnormalised) {
    CRect r;
    expectBox(r, {0, 0, 0, 0});
    r.MakeXY(1, 9, 4, 2);
    expectBox(r, {1, 4, 2, 9});
    r.MakeXY(5, 0, 1, 3); // Left above Right, Bottom above Top: kept as given
    expectBox(r, {5, 1, 3, 0});
    r.Make(CPoint(-1, 8), CPoint(6, -2));
    expectBox(r, {-1, 6, -2, 8});
    r.MakeEmpty();
    expectBox(r, {0, 0, 0, 0});
    r.MakeNull(true);
    EXPECT_TRUE(r.IsNull());
}

class Distances : public TestEnvironment {};

TEST_F(Distances, PointToPointAndToLines) {
    const double root2 = std::sqrt(2.0);
    auto line = shapeOf<CPolyLine>({part({{0, 0}, {4, 0}})});
    auto bent = shapeOf<CPolyLine>({part({{10, 10}, {11, 10}}), part({{0, 0}, {4, 0}, {4, 4}})});
    auto square = shapeOf<CPolygon>({part({{0, 0}, {0, 4}, {4, 4}, {4, 0}, {0, 0}})});
    struct Case {
        const char* what;
        CPoint from;
        const IShape* to;
        double expected;
    } cases[] = {
        {"same point", CPoint(2.5, -1), nullptr, 0.0},
        {"3-4-5", CPoint(0, 0), nullptr, 5.0},
        {"foot inside segment", CPoint(1, 1), line.get(), 1.0},
        {"before the first vertex", CPoint(-1, 1), line.get(), root2},
        {"beside a middle vertex of a later part", CPoint(5, 2), bent.get(), 1.0},
        {"inside a polygon: to the boundary", CPoint(1, 2), square.get(), 1.0},
        {"outside a polygon near its closing edge", CPoint(-0.5, 2), square.get(), 0.5},
    };
    const CPoint origin(3, 4);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const IShape& other = c.to ? *c.to : (c.expected == 0.0 ? c.from : origin);
        EXPECT_DOUBLE_EQ(c.from.Distance(other), c.expected);
    }
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(Distances, OtherShapesGiveZeroOrTheNotImplementedNotice) {
    test::RecordedNotices notices;
    CPoint p(1, 1);
    CMultiPoint multi;
    multi.Add(pt(5, 5));
    EXPECT_EQ(p.Distance(multi), 0.0);
    EXPECT_EQ(p.Distance(CRect()), 0.0);
    EXPECT_TRUE(notices.notices.empty());

    auto line = shapeOf<CPolyLine>({part({{0, 0}, {4, 0}})});
    EXPECT_EQ(line->Distance(p), 0.0);
    EXPECT_EQ(CRect().Distance(p), 0.0);
    EXPECT_EQ(multi.Distance(p), 0.0);
    EXPECT_EQ(notices.texts(), QStringList(3, QStringLiteral("NOT IMPLEMENTED")));
    EXPECT_TRUE(ui.messages().isEmpty()); // the library opens no box itself
}

TEST_F(Distances, NullShapesAndDegenerateLines) {
    CPoint p(1, 1);
    CPoint nullPoint;
    nullPoint.MakeNull(true);
    const auto nullError = static_cast<std::int32_t>(0x80040212u);
    expectShapeError([&] { p.Distance(nullPoint); }, nullError,
                     QStringLiteral("CPoint::IShape_Distance"),
                     QStringLiteral("Cannot compute distance to a null shape"));
    expectShapeError([&] { nullPoint.Distance(p); }, nullError,
                     QStringLiteral("CPoint::IShape_Distance"));

    // Repeated vertices and one-point parts are passed over, not divided by.
    // (Only the segments beside the nearest vertex are examined; here that is
    // the empty one, so the vertex distance stands.)
    auto repeated = shapeOf<CPolyLine>({part({{0, 0}, {0, 0}, {4, 0}})});
    EXPECT_DOUBLE_EQ(CPoint(2, 3).Distance(*repeated), std::sqrt(13.0));
    auto single = shapeOf<CPolyLine>({part({{3, 5}})});
    EXPECT_DOUBLE_EQ(CPoint(0, 1).Distance(*single), 5.0);
    CPolyLine empty;
    expectShapeError([&] { p.Distance(empty); }, err::kSubscriptOutOfRange,
                     QStringLiteral("CPoint::IShape_Distance"));
}

} // namespace
} // namespace trekora
