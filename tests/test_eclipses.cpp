// Solar and lunar eclipses for the whole Earth. References:
// - F. Espenak and J. Meeus, Five Millennium Canon of Solar Eclipses and of
//   Lunar Eclipses (NASA TP-2006-214141, TP-2009-214172) and the NASA eclipse
//   pages derived from them: instant of greatest eclipse (TD), gamma,
//   magnitudes, type and place of greatest eclipse;
// - astronomy-engine 2.1.19 (npm), SearchGlobalSolarEclipse and
//   SearchLunarEclipse: tests/data/astronomy_engine_events.csv, made by
//   tools/reference/gen_eclipse_reference.js (independent ephemeris and
//   shadow model; instants in TT).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

#include "astronomy_engine_fixture.h"
#include "jpl_test_support.h"
#include "eclipse_fixture.h"
#include "eclipses/eclipse_global.h"
#include "ephemeris/angles.h"
#include "ephemeris/sunmoon.h"

namespace orv {
namespace {

using testing::EclipseEngine;

constexpr double kSecondDays = 1.0 / 86400.0;

double TimeOfDay(int h, int m, int s) { return (h * 3600.0 + m * 60.0 + s) * kSecondDays; }

TEST(SolarEclipses, AgainstPublishedCanon) {
  // Greatest eclipse in TD; place of greatest eclipse (geodetic latitude, east longitude).
  struct Case {
    int y, m, d, h, mi, s;
    EclipseKindName name;
    EclipseType mustHave, mustNotHave;
    double gamma, magnitude, lat, lon;
  } cases[] = {
      {2017, 8, 21, 18, 26, 40, EclipseKindName::Total, kEclipseCentral | kEclipseTotal, kEclipseAnnularTotal,
       0.4367, 1.0306, 36.97, -87.67},
      {2023, 4, 20, 4, 17, 56, EclipseKindName::AnnularTotal, kEclipseCentral | kEclipseAnnularTotal,
       kEclipseTotal | kEclipseAnnular, -0.3952, 1.0132, -9.6, 125.8},
      {2024, 4, 8, 18, 18, 29, EclipseKindName::Total, kEclipseCentral | kEclipseTotal, kEclipseAnnularTotal,
       0.3431, 1.0566, 25.3, -104.1},
  };
  EclipseEngine engine(kTimeTT);
  for (const auto& c : cases) {
    const FoundEclipse* e = engine.On(c.y, c.m, c.d);
    ASSERT_NE(e, nullptr) << c.y << "-" << c.m << "-" << c.d;
    const double want = CalendarToJulianDay(c.y, c.m, c.d) + TimeOfDay(c.h, c.mi, c.s);
    EXPECT_TRUE(e->solar);
    EXPECT_NEAR(e->greatestJD, want, 5.0 * kSecondDays) << c.y << " got " << (e->greatestJD - want) * 86400 << " s";
    EXPECT_EQ(SolarEclipseName(e->type), c.name) << c.y;
    EXPECT_EQ(e->type & c.mustHave, c.mustHave) << c.y << " type " << e->type;
    EXPECT_EQ(e->type & c.mustNotHave, 0) << c.y << " type " << e->type;
    EXPECT_NEAR(e->SignedGamma(), c.gamma, 0.001) << c.y;
    EXPECT_NEAR(e->elements[kElemMagnitude], c.magnitude, 0.0005) << c.y;
    EXPECT_NEAR(e->point[kPointGeodeticLatitudeDeg], c.lat, 0.1) << c.y;
    EXPECT_NEAR(e->point[kPointLongitudeDeg], c.lon, 0.1) << c.y;
    EXPECT_GT(e->elements[kElemPathWidthKm], 0.0);
  }
}

TEST(SolarEclipses, WithDe405AgainstPublishedCanon) {
  // With a JPL ephemeris the instants of greatest eclipse come within a second
  // of the canon's (PLAN404 leaves up to a few seconds).
  ORV_REQUIRE_DE405();
  JplEphemeris eph;
  testing::OpenDe405(eph);
  EclipseEngine engine(kTimeTT);
  engine.settings.EphemerisCode = kEphemerisDe441;
  engine.ctx->jpl = &eph;
  struct Case { int y, m, d, h, mi, s; double gamma; } cases[] = {
      {2017, 8, 21, 18, 26, 40, 0.4367}, {2023, 4, 20, 4, 17, 56, -0.3952}, {2024, 4, 8, 18, 18, 29, 0.3431}};
  for (const auto& c : cases) {
    const FoundEclipse* e = engine.On(c.y, c.m, c.d);
    ASSERT_NE(e, nullptr) << c.y;
    const double want = CalendarToJulianDay(c.y, c.m, c.d) + TimeOfDay(c.h, c.mi, c.s);
    EXPECT_NEAR(e->greatestJD, want, 1.5 * kSecondDays) << c.y << " got " << (e->greatestJD - want) * 86400 << " s";
    EXPECT_NEAR(e->SignedGamma(), c.gamma, 0.0003) << c.y;
  }
}

TEST(LunarEclipses, AgainstPublishedCanon) {
  struct Case {
    int y, m, d;
    EclipseKindName name;
    double umbral, penumbral, gamma;  // NAN: not checked
  } cases[] = {
      {2022, 11, 8, EclipseKindName::Total, 1.3589, 2.4151, 0.2570},
      {2025, 3, 14, EclipseKindName::Total, 1.1781, NAN, 0.3485},
      {2023, 5, 5, EclipseKindName::Penumbral, -0.0456, 0.964, -1.0350},
  };
  EclipseEngine engine(kTimeTT);
  for (const auto& c : cases) {
    const FoundEclipse* e = engine.On(c.y, c.m, c.d);
    ASSERT_NE(e, nullptr) << c.y << "-" << c.m << "-" << c.d;
    EXPECT_FALSE(e->solar);
    EXPECT_EQ(LunarEclipseName(e->type), c.name) << c.y;
    EXPECT_NEAR(e->elements[kLunarUmbralMagnitude], c.umbral, 0.002) << c.y;
    if (!std::isnan(c.penumbral)) {
      EXPECT_NEAR(e->elements[kLunarPenumbralMagnitude], c.penumbral, 0.002) << c.y;
    }
    EXPECT_NEAR(e->SignedGamma(), c.gamma, 0.001) << c.y;
  }
  // 2025 March 14: greatest eclipse 06:59:56 TD.
  const FoundEclipse* march = engine.On(2025, 3, 14);
  ASSERT_NE(march, nullptr);
  EXPECT_NEAR(march->greatestJD, CalendarToJulianDay(2025, 3, 14) + TimeOfDay(6, 59, 56), 5.0 * kSecondDays);
}

TEST(LunarEclipses, PenumbralOnlyHasNoUmbralContacts) {
  EclipseEngine engine(kTimeTT);
  const FoundEclipse* e = engine.On(2023, 5, 5);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->type, kEclipsePenumbral);
  EXPECT_LT(e->elements[kLunarUmbralMagnitude], 0.0);
  for (int slot : {kLunarU1, kLunarU2, kLunarU3, kLunarU4}) EXPECT_FALSE(e->contacts[slot].has_value()) << slot;
  EXPECT_LT(e->contacts[kLunarP1].value(), e->greatestJD);
  EXPECT_GT(e->contacts[kLunarP4].value(), e->greatestJD);
}

TEST(LunarEclipses, TotalHasAllSixContactsInOrder) {
  EclipseEngine engine(kTimeTT);
  const FoundEclipse* e = engine.On(2022, 11, 8);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->type, kEclipseTotal);
  const ContactTimes& c = e->contacts;
  for (int slot : {kLunarP1, kLunarU1, kLunarU2, kLunarU3, kLunarU4, kLunarP4})
    ASSERT_TRUE(c[slot].has_value()) << slot;
  const double order[] = {*c[kLunarP1], *c[kLunarU1], *c[kLunarU2], e->greatestJD, *c[kLunarU3], *c[kLunarU4],
                          *c[kLunarP4]};
  for (int i = 0; i + 1 < 7; ++i) EXPECT_LT(order[i], order[i + 1]) << i;
}

TEST(SolarEclipses, PartialNonCentralAndAnnular) {
  EclipseEngine engine(kTimeTT);
  // 2022 October 25: partial only.
  const FoundEclipse* partial = engine.On(2022, 10, 25);
  ASSERT_NE(partial, nullptr);
  EXPECT_EQ(partial->type, kEclipseNonCentral | kEclipsePartial);
  EXPECT_EQ(partial->elements[kElemPathWidthKm], 0.0);
  EXPECT_FALSE(partial->contacts[kSolarU1].has_value());
  EXPECT_FALSE(partial->contacts[kSolarU4].has_value());
  EXPECT_LT(partial->contacts[kSolarP1].value(), partial->greatestJD);
  EXPECT_GT(partial->contacts[kSolarP4].value(), partial->greatestJD);
  EXPECT_NEAR(partial->elements[kElemMagnitude], 0.8619, 0.002);  // canon: 0.8619
  // 2014 April 29: annular, the axis misses the Earth.
  const FoundEclipse* nonCentral = engine.On(2014, 4, 29);
  ASSERT_NE(nonCentral, nullptr);
  EXPECT_EQ(nonCentral->type, kEclipseNonCentral | kEclipseAnnular);
  // 2024 October 2: central annular.
  const FoundEclipse* annular = engine.On(2024, 10, 2);
  ASSERT_NE(annular, nullptr);
  EXPECT_EQ(annular->type, kEclipseCentral | kEclipseAnnular);
  EXPECT_NEAR(annular->SignedGamma(), -0.3509, 0.001);
  EXPECT_NEAR(annular->elements[kElemMagnitude], 0.9326, 0.0005);
}

TEST(SolarEclipses, AnnularTotalTransitions) {
  // 2023 April 20: annular where the path begins, total in the middle,
  // annular again where it ends.
  EclipseEngine engine(kTimeTT);
  const FoundEclipse* e = engine.On(2023, 4, 20);
  ASSERT_NE(e, nullptr);
  ASSERT_TRUE(e->contacts[kSolarU1] && e->contacts[kSolarU4]);
  const double u1 = *e->contacts[kSolarU1], u4 = *e->contacts[kSolarU4];
  EXPECT_GT(e->transitionJD[0].value(), u1);
  EXPECT_LT(e->transitionJD[0].value(), e->greatestJD);
  EXPECT_EQ(e->transitionDirection[0], 1);
  EXPECT_GT(e->transitionJD[1].value(), e->greatestJD);
  EXPECT_LT(e->transitionJD[1].value(), u4);
  EXPECT_EQ(e->transitionDirection[1], 0);
  // The marking needs both umbral contacts, the transition search both ends.
  for (const bool withU1 : {true, false}) {
    EclipseType type = kEclipseCentral | kEclipseTotal;
    MarkHybridEclipse(*engine.ctx, withU1 ? std::optional<double>(u1) : std::nullopt, e->greatestJD, u4, type);
    EXPECT_EQ((type & kEclipseAnnularTotal) != 0, withU1);
  }
  int direction = 1;
  EXPECT_FALSE(FindAnnularTotalTransition(*engine.ctx, std::nullopt, e->greatestJD, direction).has_value());
  EXPECT_EQ(direction, 0);
  EXPECT_FALSE(FindAnnularTotalTransition(*engine.ctx, e->greatestJD, std::nullopt, direction).has_value());
}

TEST(SolarEclipses, NewMoonFarFromANode) {
  // 2024 January 11, 11:57 UT: the Moon passes 5 degrees from the Sun.
  EclipseEngine engine(kTimeUT);
  const double newMoon = CalendarToJulianDay(2024, 1, 11) + TimeOfDay(11, 57, 0);
  ShadowPoint point;
  EclipseElements elements;
  EclipseType type = -1;
  EXPECT_FALSE(FindGreatestSolarEclipse(*engine.ctx, newMoon, point, elements, type).has_value());
  EXPECT_EQ(type, 0);
  const EclipseScreening screening = QuickEclipseCheck(*engine.ctx, newMoon, kNewMoon);
  EXPECT_EQ(screening.score, 0);
  EXPECT_EQ(screening.offsetDays, 0.0);
}

TEST(QuickEclipseCheck, AgreesWithTheSearchOverSixteenYears) {
  // Solar: any eclipse; lunar: the umbral ones (the full-moon limit is that
  // of the umbra). Syzygies from the year tables, to the minute.
  EclipseEngine engine(kTimeUT);
  int checked = 0;
  for (int year = 2015; year <= 2030; ++year) {
    engine.Year(year);
    const EclipseList& found = *engine.list;
    for (const SyzygyRecord& r : engine.tables->SyzygyList) {
      if (r.date == 0) break;
      int y, m, d, h, mi;
      UnpackDateTime(r.date, r.time(), y, m, d, h, mi);
      if (y != year) continue;
      const double jd = CalendarToJulianDay(y, m, d) + h / 24.0 + mi / 1440.0;
      const auto [score, offset] = QuickEclipseCheck(*engine.ctx, jd, r.isNewMoon() ? kNewMoon : kFullMoon);
      bool eclipse = false;
      for (int i = 0; i < found.count; ++i) {
        const FoundEclipse& e = found.items[i];
        if (e.solar == r.isNewMoon() && std::fabs(e.syzygyJD - jd) < 0.01)
          eclipse = e.solar || (e.type & (kEclipseTotal | kEclipsePartial));
      }
      EXPECT_EQ(score > 0, eclipse) << (r.isNewMoon() ? "new " : "full ") << y << "-" << m << "-" << d
                                    << " score " << score;
      EXPECT_LE(std::fabs(offset), r.isNewMoon() ? 0.0437 : 0.0977);
      ++checked;
    }
  }
  EXPECT_GT(checked, 380);
}

TEST(Eclipses, AgainstAstronomyEngine2015To2030) {
  const auto lunar = testing::ReadReferenceEvents("lunar");
  const auto solar = testing::ReadReferenceEvents("solar");
  ASSERT_GT(lunar.size(), 30u);
  ASSERT_GT(solar.size(), 30u);
  EclipseEngine engine(kTimeTT);
  int matchedLunar = 0, matchedSolar = 0, ours = 0;
  double worstPeak = 0.0, worstContact = 0.0, worstGamma = 0.0, worstPlace = 0.0;
  for (int year = 2015; year <= 2030; ++year) {
    // The reference's Delta T for the year, so that places on the Earth agree.
    for (const auto& s : solar)
      if (JulianDayToCalendar(s.Num(0)).year == year) engine.UseDeltaT(s.Num(1));
    const EclipseList& list = engine.Year(year);
    ours += list.count;
    for (int i = 0; i < list.count; ++i) {
      const FoundEclipse& e = list.items[i];
      const auto& refs = e.solar ? solar : lunar;
      const testing::ReferenceEvent* ref = nullptr;
      for (const auto& r : refs)
        if (std::fabs(r.Num(0) - e.greatestJD) < 0.5) ref = &r;
      const CivilDateTime when = JulianDayToCalendar(e.greatestJD);
      const std::string what = std::string(e.solar ? "solar " : "lunar ") + std::to_string(when.year) + "-" +
                               std::to_string(when.month) + "-" + std::to_string(when.day);
      ASSERT_NE(ref, nullptr) << what << " not in the reference";
      const double peakError = std::fabs(ref->Num(0) - e.greatestJD);
      worstPeak = std::max(worstPeak, peakError);
      EXPECT_LT(peakError, 15.0 * kSecondDays) << what << " peak " << peakError * 86400 << " s";
      if (e.solar) {
        ++matchedSolar;
        const std::string kind = ref->Text(2);
        const EclipseKindName name = SolarEclipseName(e.type);
        // The reference has no annular-total class: either of the two will do.
        const char* want = name == EclipseKindName::Total     ? "total"
                           : name == EclipseKindName::Annular ? "annular"
                           : name == EclipseKindName::Partial ? "partial"
                                                              : nullptr;
        if (want) {
          EXPECT_EQ(kind, want) << what;
        } else {
          EXPECT_TRUE(kind == "total" || kind == "annular") << what;
        }
        const double gammaError = std::fabs(ref->Num(3) / 6378.1366 - e.elements[kElemAxisDistance]);
        worstGamma = std::max(worstGamma, gammaError);
        EXPECT_LT(gammaError, 0.002) << what;
        if (e.type & kEclipseCentral) {
          // Great-circle distance between the two places of greatest eclipse.
          const double lat1 = ref->Num(4) * kDegToRad, lat2 = e.point[kPointGeodeticLatitudeDeg] * kDegToRad;
          const double dLon = (ref->Num(5) - e.point[kPointLongitudeDeg]) * kDegToRad;
          const double arcDeg = std::acos(std::min(1.0, std::sin(lat1) * std::sin(lat2) +
                                                            std::cos(lat1) * std::cos(lat2) * std::cos(dLon))) *
                                kRadToDeg;
          // Near the poles the axis meets the ground obliquely (the Sun 17
          // degrees high on 2021-12-04), which stretches small differences.
          worstPlace = std::max(worstPlace, arcDeg);
          EXPECT_LT(arcDeg, 0.15) << what;
        }
      } else {
        ++matchedLunar;
        const std::string kind = ref->Text(2);
        EXPECT_EQ(kind, LunarEclipseName(e.type) == EclipseKindName::Total     ? "total"
                        : LunarEclipseName(e.type) == EclipseKindName::Partial ? "partial"
                                                                               : "penumbral")
            << what;
        // Contacts from the reference's semi-durations (minutes). The shadow
        // models differ (the reference enlarges the Earth's radius to 6459 km,
        // this program the Moon's parallax by 1 %), and a grazing contact
        // turns a small difference of radius into minutes; so the check is
        // on the radius: at the reference's contact instant the Moon's limb
        // must lie on this program's shadow edge to within 20 arcseconds.
        const double minute = 60.0 * kSecondDays;
        struct Pair { int first, last, edge; double semi; } pairs[] = {
            {kLunarP1, kLunarP4, kLunarPenumbraPlusMoonArcsec, ref->Num(3)},
            {kLunarU1, kLunarU4, kLunarUmbraPlusMoonArcsec, ref->Num(4)},
            {kLunarU2, kLunarU3, kLunarUmbraMinusMoonArcsec, ref->Num(5)}};
        for (const Pair& p : pairs) {
          if (p.semi == 0.0) continue;
          for (double t : {ref->Num(0) - p.semi * minute, ref->Num(0) + p.semi * minute}) {
            ShadowPoint point;
            EclipseElements el;
            LunarEclipseElements(*engine.ctx, t, point, el);
            ClassifyLunarEclipseAt(*engine.ctx, t, point, el);
            const double err = std::fabs(el[p.edge] - el[kLunarAxisDistanceArcsec]);
            worstContact = std::max(worstContact, err);
            EXPECT_LT(err, 20.0) << what << " contact pair " << p.first;
          }
          EXPECT_TRUE(e.contacts[p.first].has_value()) << what;
          EXPECT_TRUE(e.contacts[p.last].has_value()) << what;
        }
      }
    }
  }
  // Every reference eclipse of the span was found.
  int refCount = 0;
  for (const auto* refs : {&lunar, &solar})
    for (const auto& r : *refs) refCount += JulianDayToCalendar(r.Num(0)).year <= 2030;
  EXPECT_EQ(ours, refCount);
  std::printf("%d solar, %d lunar; worst: peak %.1f s, lunar shadow edge %.1f arcsec, gamma %.5f, place %.4f deg\n",
              matchedSolar, matchedLunar, worstPeak * 86400.0, worstContact, worstGamma, worstPlace);
}

TEST(Eclipses, LongitudesStayWithinHalfACircle) {
  EclipseEngine engine(kTimeUT);
  for (int year : {2016, 2019, 2020, 2021}) {
    const EclipseList& list = engine.Year(year);
    for (int i = 0; i < list.count; ++i) {
      const ShadowPoint& p = list.items[i].point;
      for (int slot : {kPointLongitudeDeg, kPointLongitudeDtDeg}) {
        EXPECT_GT(p[slot], -180.0);
        EXPECT_LE(p[slot], 180.0);
      }
    }
  }
}

TEST(FormatGeoPosition, HemispheresAndRounding) {
  EXPECT_EQ(FormatGeoPosition(-0.5, -10.25), "0.50W/10.25S");
  EXPECT_EQ(FormatGeoPosition(126.9669, 37.5422), "126.97E/37.54N");
  EXPECT_EQ(FormatGeoPosition(0.0, 0.0), "0.00E/0.00N");
}

}  // namespace
}  // namespace orv
