// SPDX-License-Identifier: GPL-3.0-or-later
//
// The one check of stored names, and every store that saves or renames a name using it.
#include "shell/stored_names.h"

#include <gtest/gtest.h>

#include "app_test_support.h"
#include "evaluation/evaluation_store.h"
#include "shell/catalogue_store.h"
#include "shell/projectos.h"
#include "shell/reference_tramos.h"
#include "shell/unit_of_work.h"

using kambrix::StoredNameKind;
using kambrix::storedNameProblem;
using kambrix::test::numberOf;

TEST(StoredNames, ControlCharactersAndLengthAreRefusedWithTheKindNamed) {
    EXPECT_EQ(storedNameProblem(StoredNameKind::System, "North field 2"), std::nullopt);
    EXPECT_EQ(storedNameProblem(StoredNameKind::System, "O'Brien \"east\" ; DROP"), std::nullopt);
    EXPECT_EQ(storedNameProblem(StoredNameKind::Chart, "Rueda \xc3\xa9t\xc3\xa9"), std::nullopt);
    EXPECT_EQ(storedNameProblem(StoredNameKind::System, "Nor\x1b[2Jth"),
              "The name of a system cannot hold control characters (\\x1b at character 4)");
    EXPECT_EQ(storedNameProblem(StoredNameKind::Evaluation, "a\tb"),
              "The name of an evaluation cannot hold control characters (\\x09 at character 2)");
    // Characters, not bytes, are counted: "é" is two bytes.
    EXPECT_EQ(storedNameProblem(StoredNameKind::Nozzle, "\xc3\xa9x\x7f"),
              "The name of a nozzle cannot hold control characters (\\x7f at character 3)");
    EXPECT_EQ(storedNameProblem(StoredNameKind::SprinklerModel,
                                "x\xc2\x9b"
                                "2J"),
              "The name of a sprinkler model cannot hold control characters (\\u009b at "
              "character 2)");
    EXPECT_TRUE(storedNameProblem(StoredNameKind::ReferenceSpan, std::string("a\0b", 3)));

    const std::string longest(200, 'n');
    EXPECT_EQ(storedNameProblem(StoredNameKind::SprinklerBrand, longest), std::nullopt);
    EXPECT_EQ(storedNameProblem(StoredNameKind::SprinklerBrand, longest + "n"),
              "The name of a sprinkler brand can hold at most 200 characters; this one has 201");
    std::string accented;
    for (int i = 0; i < 200; ++i) {
        accented += "\xc3\xa9";  // 400 bytes, 200 characters
    }
    EXPECT_EQ(storedNameProblem(StoredNameKind::ReferenceSpanBrand, accented), std::nullopt);
    EXPECT_TRUE(storedNameProblem(StoredNameKind::ReferenceSpanBrand, accented + "e"));
}

TEST(StoredNames, EscapedTextNeverHoldsAControlCharacter) {
    EXPECT_EQ(kambrix::escapeControlCharacters("plain \xc3\xa9 C:\\x"), "plain \xc3\xa9 C:\\x");
    EXPECT_EQ(kambrix::escapeControlCharacters("\x1b]0;title\x07\r\n\xc2\x85"
                                               "end"),
              "\\x1b]0;title\\x07\\x0d\\x0a\\u0085end");
    EXPECT_EQ(kambrix::escapeControlCharacters(std::string("a\0b", 3)), "a\\x00b");
}

// Every store refuses such a name before it writes anything.
TEST(StoredNames, EveryStoreRefusesThem) {
    kambrix::test::TempFolder root("names");
    const kambrix::AppConfig config = kambrix::test::freshDatabases(root);
    const std::string bad = "bell\x07";
    const std::string tooLong(201, 'x');
    const auto refused = kambrix::errc::StoredNameRefused;

    const kambrix::Projectos systems;
    for (const auto& name : {bad, tooLong}) {
        auto project = systems.newProject(name);
        EXPECT_EQ(numberOf([&] {
                      kambrix::writeTo(config.projectsConnectionString,
                                       [&](auto& con) { systems.saveProject(con, project); });
                  }),
                  refused);
    }
    auto stored = systems.newProject("Good");
    kambrix::writeTo(config.projectsConnectionString,
                     [&](auto& con) { systems.saveProject(con, stored); });
    EXPECT_EQ(numberOf([&] {
                  kambrix::writeTo(config.projectsConnectionString, [&](auto& con) {
                      systems.copyProject(con, systems.nameCondition("Good"), tooLong);
                  });
              }),
              refused);
    const auto names = kambrix::readFrom(config.projectsConnectionString,
                                         [&](auto& con) { return systems.projectNames(con); });
    EXPECT_EQ(names, std::vector<std::string>{"Good"});

    auto evaluation = quarvex::statics().PivotEvaluations().newEvaluation(bad);
    EXPECT_EQ(numberOf([&] {
                  kambrix::writeTo(config.projectsConnectionString, [&](auto& con) {
                      kambrix::storeEvaluation(con, evaluation, false);
                  });
              }),
              refused);
    EXPECT_TRUE(kambrix::checkEvaluationName(tooLong, "the name"));

    const kambrix::SprinklerCatalogue catalogue(config.asperConnectionString);
    EXPECT_EQ(numberOf([&] { catalogue.renameBrand(1, bad); }), refused);
    EXPECT_EQ(numberOf([&] { catalogue.renameModel(1, tooLong); }), refused);
    kambrix::NozzleData nozzle{"N\x1b", 0.1, 0.5, 100, 300, 0.5, 1.0};
    ASSERT_TRUE(kambrix::checkNozzle(nozzle));
    EXPECT_EQ(kambrix::checkNozzle(nozzle)->field, "nome");
    EXPECT_EQ(numberOf([&] { catalogue.importNozzles("Brand", bad, {nozzle}); }), refused);
    nozzle.nome = "N 12";
    EXPECT_EQ(numberOf([&] { catalogue.importNozzles(tooLong, "Model", {nozzle}); }), refused);

    const kambrix::ReferenceTramos spans;
    kambrix::TramoMarca marca{bad, 0};
    kambrix::ReferenceTramo span;
    span.denominacion = tooLong;
    span.diametro = 168;
    span.longitud = 50;
    span.separacion_saidas = 250;
    span.marca = {"Brand", 0};
    kambrix::UnitOfWork unit(config.tramosConnectionString, kambrix::UnitOfWork::Mode::Write);
    EXPECT_EQ(numberOf([&] { spans.saveBrand(unit.connection(), marca); }), refused);
    EXPECT_EQ(numberOf([&] { spans.saveReferenceTramo(unit.connection(), span); }), refused);
    EXPECT_EQ(numberOf([&] { spans.renameBrand(unit.connection(), 1, bad); }), refused);
    ASSERT_TRUE(kambrix::checkReferenceTramo(span));
    EXPECT_EQ(kambrix::checkReferenceTramo(span)->field, "denominacion");
}
