// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/agronomics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "app_test_support.h"

using namespace kambrix;
using kambrix::test::numberOf;
using In = AgronomicInput;

namespace {

// Every input given, with the hand-worked values: Epa 100.2, Re 0.97245.
Agronomics complete() {
    Agronomics a;
    a.kf = 1;
    a.Etc = 6;
    a.Pe = 0;
    a.epa.Pa = 50;
    a.epa.CU = 80;
    a.epa.Eto = 5;
    a.epa.U = 2;
    a.epa.CI = 10;
    a.epa.Oe = 1;
    return a;
}

// The formulas add a handful of terms of order 1000: a few units in the last place of 1000.
constexpr double kFormulaTolerance = 1e-9;

}  // namespace

TEST(Agronomics, HandWorkedValues) {
    EpaFunction e;
    e.Pa = 100;
    e.CU = 100;
    // 100 + (606 − 2490 + 3490 − 1860)·0
    EXPECT_NEAR(e.epaValue(), 100, kFormulaTolerance);
    e.Pa = 50;
    e.CU = 80;
    // 100 + (606 − 1245 + 872.5 − 232.5)·0.2
    EXPECT_NEAR(e.epaValue(), 100.2, kFormulaTolerance);
    e.Eto = 5;
    e.U = 2;
    e.CI = 10;
    // 0.976 + 0.025 − 0.00425 + 0.0024 − 10·(0.00215 + 0.00036 + 0.00016)
    EXPECT_NEAR(e.reValue(), 0.97245, kFormulaTolerance);
    e.Oe = 0.9;
    EXPECT_NEAR(e.applicationEfficiency(), 100.2 * 0.9 * 0.97245, kFormulaTolerance);

    Agronomics a = complete();
    a.kf = 0.8;
    a.Etc = 7;
    a.Pe = 1.5;
    const double e100 = 100.2 * 0.97245 / 100;
    EXPECT_NEAR(a.grossIrrigationRequirement(), 0.8 * 5.5 / e100, kFormulaTolerance);
    EXPECT_NEAR(a.continuousDischarge(), 0.8 * 5.5 / e100 * 10000 / 86400, kFormulaTolerance);

    // GIR 6 mm/day: kf·Etc/(E/100) = 6 with E = 100 %.
    Agronomics six = complete();
    six.epa.Pa = 100;
    six.epa.CU = 100;
    six.epa.Oe = 1 / six.epa.reValue();
    ASSERT_NEAR(six.grossIrrigationRequirement(), 6, kFormulaTolerance);
    const double qc = six.continuousDischarge();
    EXPECT_NEAR(qc, 0.694444444444, 1e-12);
    EXPECT_NEAR(systemDischarge(50, qc, 20), 41.6666666667, 1e-9);
}

TEST(Agronomics, RangeEnds) {
    namespace r = agronomic_range;
    EXPECT_TRUE(r::Pe.contains(0));
    EXPECT_FALSE(r::Pe.contains(-1e-300));
    EXPECT_FALSE(r::kf.contains(0));
    EXPECT_FALSE(r::Etc.contains(0));
    EXPECT_TRUE(r::kf.contains(1e-300));
    EXPECT_FALSE(r::kf.contains(std::numeric_limits<double>::max()));
    EXPECT_TRUE(r::CI.contains(7));
    EXPECT_TRUE(r::CI.contains(17));
    EXPECT_FALSE(r::CI.contains(6.9));
    EXPECT_FALSE(r::CI.contains(17.1));
    EXPECT_FALSE(r::Pa.contains(0));
    EXPECT_TRUE(r::Pa.contains(100));
    EXPECT_FALSE(r::CU.contains(100.01));
    EXPECT_TRUE(r::Oe.contains(0));
    EXPECT_TRUE(r::Oe.contains(1));
    EXPECT_TRUE(r::HoursPerDay.contains(24));
    EXPECT_FALSE(r::HoursPerDay.contains(0));
    EXPECT_FALSE(r::HoursPerDay.contains(24.5));
    EXPECT_FALSE(r::FieldArea.contains(0));
    for (const ValueRange* range : {&r::kf, &r::Pe, &r::Pa, &r::CI, &r::Oe}) {
        EXPECT_FALSE(range->contains(std::numeric_limits<double>::quiet_NaN()));
        EXPECT_FALSE(range->contains(std::numeric_limits<double>::infinity()));
    }

    // The upper end of Eto and U: 0x7FEFFFFFFFFFFFE2, 29 steps below the largest double.
    std::uint64_t bits = 0;
    std::memcpy(&bits, &r::Eto.upper, sizeof bits);
    EXPECT_EQ(bits, 0x7FEFFFFFFFFFFFE2u);
    EXPECT_EQ(r::U.upper, r::Eto.upper);
    EXPECT_FALSE(r::Eto.contains(r::Eto.upper));
    EXPECT_TRUE(r::Eto.contains(std::nextafter(r::Eto.upper, 0.0)));
    EXPECT_FALSE(r::U.contains(std::numeric_limits<double>::max()));

    // The validity operations follow the ranges.
    Agronomics a = complete();
    EXPECT_TRUE(a.epa.epaInputsValid());
    EXPECT_TRUE(a.epa.reInputsValid());
    EXPECT_TRUE(a.agronomicInputsValid());
    a.Pe = 0;
    EXPECT_TRUE(a.agronomicInputsValid());
    a.kf = 0;
    EXPECT_FALSE(a.agronomicInputsValid());
    a = complete();
    a.epa.CI = 6.9;
    EXPECT_FALSE(a.epa.reInputsValid());
    EXPECT_TRUE(a.agronomicInputsValid()) << "only the efficiency inputs' presence counts";
    a.epa.Oe = kMissing;
    EXPECT_FALSE(a.agronomicInputsValid());
    a = complete();
    a.epa.Pa = 0;
    EXPECT_FALSE(a.epa.epaInputsValid());
}

TEST(Agronomics, FirstInputNotGivenInTheChecksOrder) {
    Agronomics a = complete();
    a.epa.U = kMissing;
    EXPECT_EQ(numberOf([&] { a.checkAgronomicGiven(); }), static_cast<std::int32_t>(0x8004044Fu));
    EXPECT_FALSE(a.epa.epaIsComplete());
    // The efficiency inputs come before the crop's, Pa first.
    a.kf = kMissing;
    a.epa.Oe = kMissing;
    EXPECT_EQ(numberOf([&] { a.checkAgronomicGiven(); }), errc::UNotGiven);
    a.epa.Pa = kMissing;
    EXPECT_EQ(numberOf([&] { a.checkAgronomicGiven(); }), static_cast<std::int32_t>(0x8004044Cu));

    const std::pair<In, std::uint32_t> order[] = {
        {In::Pa, 0x8004044C}, {In::CU, 0x8004044D},  {In::Eto, 0x8004044E},
        {In::U, 0x8004044F},  {In::CI, 0x80040450},  {In::Oe, 0x80040451},
        {In::kf, 0x800403E8}, {In::Etc, 0x800403E9}, {In::Pe, 0x800403EA},
    };
    for (const auto& [input, number] : order) {
        Agronomics one = complete();
        switch (input) {
            case In::Pa:
                one.epa.Pa = kMissing;
                break;
            case In::CU:
                one.epa.CU = kMissing;
                break;
            case In::Eto:
                one.epa.Eto = kMissing;
                break;
            case In::U:
                one.epa.U = kMissing;
                break;
            case In::CI:
                one.epa.CI = kMissing;
                break;
            case In::Oe:
                one.epa.Oe = kMissing;
                break;
            case In::kf:
                one.kf = kMissing;
                break;
            case In::Etc:
                one.Etc = kMissing;
                break;
            default:
                one.Pe = kMissing;
                break;
        }
        EXPECT_EQ(numberOf([&] { one.checkAgronomicGiven(); }), static_cast<std::int32_t>(number))
            << inputName(input);
        EXPECT_EQ(notGivenNumber(input), static_cast<std::int32_t>(number));
        EXPECT_EQ(inputNotGiven(static_cast<std::int32_t>(number)), input);
        // The program's table holds the screens' message, so it reads the same everywhere.
        EXPECT_EQ(errorText(static_cast<std::int32_t>(number)), notGivenMessage(input));
        // A program number, although the library uses some of the same codes.
        ErrorSource source = ErrorSource::Other;
        try {
            one.checkAgronomicGiven();
        } catch (...) {
            errorNumberOf(std::current_exception(), &source);
        }
        EXPECT_EQ(source, ErrorSource::Program);
    }
    EXPECT_EQ(numberOf([] { complete().checkAgronomicGiven(); }), 0);
    EXPECT_EQ(inputNotGiven(errc::CommandStopped), std::nullopt);

    // The screens' texts.
    EXPECT_EQ(notGivenMessage(In::kf), "It must be given the value for Kf");
    EXPECT_EQ(notGivenMessage(In::Pe), "It must be given the value for the precipitation");
    EXPECT_EQ(notGivenMessage(In::CI), "It must be given the CI value");
    EXPECT_EQ(notGivenMessage(In::Qfc), "It must be given the continuos discharge value");
    EXPECT_EQ(notGivenMessage(In::FieldArea), "It must be given the value of the field area");
    EXPECT_EQ(notGivenMessage(In::FieldArea, kSchedulingFieldAreaText),
              "It must be given the field area");
    EXPECT_EQ(notGivenMessage(In::HoursPerDay), "It must be given the functioning hours per day");
    EXPECT_EQ(rangeMessage(In::Pa), "The value for Pa must be greater than 0 and up to 100");
    EXPECT_EQ(rangeMessage(In::CI), "The value for CI must be from 7 to 17");
    EXPECT_EQ(rangeMessage(In::Pe), "The value for the precipitation must be 0 or greater");
    EXPECT_EQ(rangeMessage(In::kf), "The value for Kf must be greater than 0");
    EXPECT_EQ(rangeMessage(In::Oe, ','), "The value for Oe must be from 0 to 1");
    EXPECT_EQ(rangeMessage(In::HoursPerDay),
              "The value for the functioning hours per day must be greater than 0 and up to 24");
}

TEST(Agronomics, FormulasRefuseMissingInputs) {
    EpaFunction e;
    e.Pa = 50;
    EXPECT_EQ(numberOf([&] { e.epaValue(); }), errc::CuNotGiven);
    EXPECT_EQ(numberOf([&] { e.reValue(); }), errc::EtoNotGiven);
    Agronomics a = complete();
    a.Etc = kMissing;
    EXPECT_EQ(numberOf([&] { a.continuousDischarge(); }), errc::EtcNotGiven);
}

TEST(Agronomics, FloatingPointFaultsAreNumberedErrors) {
    // Oe = 0 is a valid entry and makes the application efficiency 0.
    Agronomics a = complete();
    a.epa.Oe = 0;
    EXPECT_EQ(a.epa.applicationEfficiency(), 0);
    EXPECT_EQ(numberOf([&] { a.grossIrrigationRequirement(); }), errc::ComputationDivisionByZero);
    EXPECT_EQ(numberOf([&] { a.continuousDischarge(); }), errc::ComputationDivisionByZero);

    // Finite inputs whose products leave the double range.
    a = complete();
    a.kf = 1e200;
    a.Etc = 1e200;
    EXPECT_EQ(numberOf([&] { a.grossIrrigationRequirement(); }), errc::ComputationOverflow);
    a = complete();
    a.epa.Eto = 1e200;  // valid: Eto's range is open up to just below the largest double
    EXPECT_EQ(numberOf([&] { a.epa.reValue(); }), errc::ComputationOverflow);
    EXPECT_EQ(numberOf([] { systemDischarge(1e300, 1e10, 1); }), errc::ComputationOverflow);

    // An input that is not a number.
    a = complete();
    a.epa.Pa = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(numberOf([&] { a.epa.epaValue(); }), errc::ComputationInvalid);

    // The field's own ranges.
    EXPECT_EQ(numberOf([] { systemDischarge(50, 0.7, 0); }), errc::ValueOutOfRange);
    EXPECT_EQ(numberOf([] { systemDischarge(50, 0.7, 24.5); }), errc::ValueOutOfRange);
    EXPECT_EQ(numberOf([] { systemDischarge(0, 0.7, 20); }), errc::ValueOutOfRange);
    EXPECT_NEAR(systemDischarge(50, 0.7, 24), 35, 1e-12);
}

TEST(Agronomics, EvaluationGivesEachResultOrItsReason) {
    AgronomicEvaluation ev = evaluateAgronomics(complete(), 50, 20, kFieldAreaText);
    ASSERT_TRUE(ev.systemDischarge.available());
    EXPECT_NEAR(*ev.epa.value, 100.2, kFormulaTolerance);
    EXPECT_NEAR(*ev.re.value, 0.97245, kFormulaTolerance);
    EXPECT_NEAR(*ev.systemDischarge.value, *ev.qc.value * 50 * 24 / 20, 1e-12);

    // U missing: Epa still given, everything that needs U says why not.
    Agronomics noU = complete();
    noU.epa.U = kMissing;
    ev = evaluateAgronomics(noU, 50, 20, kFieldAreaText);
    EXPECT_TRUE(ev.epa.available());
    for (const AgronomicResult* r :
         {&ev.re, &ev.efficiency, &ev.gir, &ev.qc, &ev.systemDischarge}) {
        ASSERT_FALSE(r->available());
        EXPECT_EQ(r->unavailable->kind, Unavailable::Kind::NotGiven);
        EXPECT_EQ(r->unavailable->message, "It must be given the U value");
    }

    // Not given comes before out of range, even for a later input.
    Agronomics mixed = complete();
    mixed.epa.Pa = 0;
    mixed.Pe = kMissing;
    ev = evaluateAgronomics(mixed, 50, 20, kFieldAreaText);
    EXPECT_EQ(ev.epa.unavailable->kind, Unavailable::Kind::OutOfRange);
    EXPECT_EQ(ev.epa.unavailable->input, In::Pa);
    EXPECT_EQ(ev.gir.unavailable->kind, Unavailable::Kind::NotGiven);
    EXPECT_EQ(ev.gir.unavailable->input, In::Pe);

    // The field: 0 counts as not given (as the project stores it), then the hours.
    ev = evaluateAgronomics(complete(), 0, 20, kFieldAreaText);
    EXPECT_TRUE(ev.qc.available());
    EXPECT_EQ(ev.systemDischarge.unavailable->message,
              "It must be given the value of the field area");
    ev = evaluateAgronomics(complete(), 50, kMissing, kFieldAreaText);
    EXPECT_EQ(ev.systemDischarge.unavailable->message,
              "It must be given the functioning hours per day");
    ev = evaluateAgronomics(complete(), 50, 24.5, kFieldAreaText);
    EXPECT_EQ(ev.systemDischarge.unavailable->kind, Unavailable::Kind::OutOfRange);
    EXPECT_EQ(ev.systemDischarge.unavailable->input, In::HoursPerDay);

    // A fault is a result of its own, carrying the numbered error.
    Agronomics zeroOe = complete();
    zeroOe.epa.Oe = 0;
    ev = evaluateAgronomics(zeroOe, 50, 20, kFieldAreaText);
    EXPECT_TRUE(ev.efficiency.available());
    ASSERT_EQ(ev.gir.unavailable->kind, Unavailable::Kind::Fault);
    EXPECT_EQ(test::numberOf([&] { std::rethrow_exception(ev.gir.unavailable->fault); }),
              errc::ComputationDivisionByZero);
    EXPECT_EQ(ev.systemDischarge.unavailable->kind, Unavailable::Kind::Fault);

    // The scheduling model's Qfc: Qfc, then the area, then the hours.
    AgronomicResult q = evaluateDischargeFromQfc(kMissing, 0, 0, kSchedulingFieldAreaText);
    EXPECT_EQ(q.unavailable->message, "It must be given the continuos discharge value");
    q = evaluateDischargeFromQfc(0.7, kMissing, 0, kSchedulingFieldAreaText);
    EXPECT_EQ(q.unavailable->message, "It must be given the field area");
    q = evaluateDischargeFromQfc(0.7, 50, 0, kSchedulingFieldAreaText);
    EXPECT_EQ(q.unavailable->message, "It must be given the functioning hours per day");
    q = evaluateDischargeFromQfc(-0.7, 50, 20, kSchedulingFieldAreaText);
    EXPECT_EQ(q.unavailable->input, In::Qfc);
    q = evaluateDischargeFromQfc(0.7, 50, 24, kSchedulingFieldAreaText);
    EXPECT_NEAR(*q.value, 35, 1e-12);
}
