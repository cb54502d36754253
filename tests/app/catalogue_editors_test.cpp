// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/catalogue_editors.h"

#include <gtest/gtest.h>

#include <set>

using namespace kambrix;

namespace {

ErrorReport report(ErrorSource source, std::int32_t number, std::string message = {}) {
    ErrorReport r;
    r.source = source;
    r.number = number;
    r.message = std::move(message);
    return r;
}

SpanForm wholeSpan() {
    return SpanForm{" Valley ", " Valley 8000 54 m ", 54.0, 168.0, 250.0};
}

NozzleForm wholeNozzle() {
    NozzleForm f;
    f.brand = "Senninger";
    f.model = "i-Wob";
    f.name = " #20 ";
    f.values = {0.0251, 0.5, 40.0, 140.0, 0.15, 0.3};
    return f;
}

}  // namespace

TEST(CatalogueEditors, SpanFormNamesEverythingMissingAndFocusesTheFirst) {
    EXPECT_FALSE(checkSpanForm(wholeSpan()).has_value());
    const ReferenceTramo t = spanOfForm(wholeSpan(), 7);
    EXPECT_EQ(t.id, 7);
    EXPECT_EQ(t.denominacion, "Valley 8000 54 m");
    EXPECT_EQ(t.marca.name, "Valley");
    EXPECT_DOUBLE_EQ(t.separacion_saidas, 250);

    SpanForm f = wholeSpan();
    f.name = "   ";
    f.spacing.reset();
    auto problem = checkSpanForm(f);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->field, SpanName);
    EXPECT_EQ(problem->message,
              "The information for the reference span is incomplete. It must be given the name "
              "and the outlet spacing");

    // Given but refused by the catalogue's own check: its message and its field.
    f = wholeSpan();
    f.spacing = 6000;  // 60 m between outlets on a 54 m span
    problem = checkSpanForm(f);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->field, SpanSpacing);
    EXPECT_EQ(problem->message, checkReferenceTramo(spanOfForm(f, 0))->message);
    f = wholeSpan();
    f.length = 0;
    problem = checkSpanForm(f);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->field, SpanLength);

    // The outside diameter is optional, but a pipe is wider outside than inside.
    f = wholeSpan();
    EXPECT_FALSE(spanOfForm(f, 0).diametroExterior.has_value());
    f.outsideDiameter = 177.8;
    EXPECT_FALSE(checkSpanForm(f).has_value());
    EXPECT_EQ(spanOfForm(f, 0).diametroExterior, 177.8);
    f.outsideDiameter = 168.0;  // the inside diameter itself
    problem = checkSpanForm(f);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->field, SpanOutsideDiameter);
    EXPECT_EQ(problem->message,
              "The outside diameter must be a number greater than the inside diameter");
}

TEST(CatalogueEditors, NozzleFormChecksNamesThenValues) {
    NozzleForm f = wholeNozzle();
    EXPECT_FALSE(checkNozzleNames(f).has_value());
    EXPECT_FALSE(checkNozzleForm(f).has_value());
    EXPECT_EQ(nozzleOfForm(f).nome, "#20");

    f.brand = " ";
    f.model.clear();
    auto problem = checkNozzleNames(f);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->field, NozzleBrand);
    EXPECT_EQ(problem->message, "The brand needs a name");
    f.brand = "Senninger";
    problem = checkNozzleNames(f);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->field, NozzleModel);
    EXPECT_EQ(problem->message, "The model needs a name");

    f = wholeNozzle();
    f.values[1].reset();
    f.values[5].reset();
    problem = checkNozzleForm(f);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->field, NozzleB);
    EXPECT_EQ(problem->message,
              "The information for the nozzle is incomplete. It must be given the exponent b and "
              "the maximum discharge");

    f = wholeNozzle();
    f.values[2] = 200;  // pmin above pmax
    problem = checkNozzleForm(f);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->message, checkNozzle(nozzleOfForm(f))->message);
    EXPECT_TRUE(problem->field == NozzlePmin || problem->field == NozzlePmax);
}

TEST(CatalogueEditors, FailuresInTheEditorsWords) {
    using quarvex::errc::MarcaIsNewRecordException;
    using quarvex::errc::MissingAsperorDataException;
    EXPECT_EQ(sprinklerCatalogueMessage(report(ErrorSource::Library, MarcaIsNewRecordException)),
              "The brand of the model must be saved before the model");
    EXPECT_EQ(sprinklerCatalogueMessage(report(ErrorSource::Library, MissingAsperorDataException)),
              errorText(errc::CatalogueNozzleIncomplete));
    EXPECT_EQ(sprinklerCatalogueMessage(report(ErrorSource::Program, errc::CatalogueNameTaken)),
              "There is already an entry of the catalogue with that name");
    EXPECT_EQ(spanCatalogueMessage(report(ErrorSource::Program, errc::CatalogueNameTaken)),
              "There is already a brand with that name");
    EXPECT_EQ(spanCatalogueMessage(report(ErrorSource::Program, errc::ReferenceTramoExists)),
              "There is already a reference span with that name");
    for (auto* message : {&sprinklerCatalogueMessage, &spanCatalogueMessage}) {
        EXPECT_EQ((*message)(report(ErrorSource::Program, errc::RecordNotFound)),
                  "That entry is no longer in the catalogue; the list has been read again");
        // A value out of range explains itself; the rest is for the database handler.
        EXPECT_EQ((*message)(report(ErrorSource::Program, errc::ValueOutOfRange, "Too long")),
                  "Too long");
        EXPECT_FALSE((*message)(report(ErrorSource::Program, errc::FileEmpty)).has_value());
        EXPECT_FALSE((*message)(report(ErrorSource::Library, quarvex::errc::DatabaseOpenFailed))
                         .has_value());
    }
    // The same number from the library is not the program's.
    EXPECT_FALSE(
        spanCatalogueMessage(report(ErrorSource::Library, errc::ReferenceTramoExists)).has_value());

    // Every sentence sits in the program's table under a number of its own.
    std::set<std::int32_t> numbers;
    for (const auto& e : programErrorTable()) {
        EXPECT_TRUE(numbers.insert(e.number).second) << e.text;
    }
}
