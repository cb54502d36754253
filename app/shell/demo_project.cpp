// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/demo_project.h"

#include <array>
#include <system_error>

#include "shell/reference_tramos.h"

namespace kambrix {

Projecto makeDemoProject(quarvex::Connection& tramosCon, quarvex::Connection& projectsCon) {
    struct SpanChoice {
        const char* name;
        double endElevation;  // m
    };
    // Wider pipe near the pivot point, where the whole discharge flows; a gentle rise and fall.
    const std::array<SpanChoice, 7> fixed = {{{"RS 162x56.4", 100.6},
                                              {"RS 162x56.4", 101.1},
                                              {"RS 162x56.4", 101.3},
                                              {"RS 141.3x54", 100.9},
                                              {"RS 141.3x54", 100.2},
                                              {"RS 141.3x54", 99.6},
                                              {"RS 141.3x54", 99.1}}};
    ReferenceTramos catalogue;
    Projectos projectos;
    Projecto demo = projectos.newProject(kDemoProjectName);
    demo.propietario = "Demo farm";
    demo.q = 60;             // L/s
    demo.p = 300;            // kPa
    demo.cotaCentral = 100;  // m
    demo.areaParcela = 65;   // ha
    demo.horas_de_operacao_diaria = 20;
    demo.pipe_material = quarvex::statics().PipeMaterials().find(projectsCon, 1);
    demo.p_pipe_material_id = demo.pipe_material.id;
    for (const auto& choice : fixed) {
        demo.Tramos.Push(
            catalogue.toTramo(catalogue.findByName(tramosCon, choice.name), choice.endElevation));
    }
    demo.hasVoladizo = true;
    demo.Tramos.Push(catalogue.toTramo(catalogue.findByName(tramosCon, "RS 101.6x35"), 0));
    demo.hasGun = true;
    demo.endGun = quarvex::statics().Gun().newGun(20);
    demo.p_tramos_loaded = true;
    return demo;
}

bool makeDemoDatabaseFolder(const std::filesystem::path& templateFolder,
                            const std::filesystem::path& target) {
    std::error_code ec;
    if (std::filesystem::exists(target, ec)) {
        return false;
    }
    // Built beside the target and renamed at the end, so an interrupted run leaves no
    // half-made demo folder that a later run would take as finished.
    std::filesystem::path partial = target;
    partial += ".making";
    std::filesystem::remove_all(partial, ec);
    const auto choice = locateDatabaseFolder(partial.string(), {}, {}, templateFolder);
    {
        AppConfig config;
        setDatabaseFolder(config, choice.folder);
        quarvex::Connection tramosCon(config.tramosConnectionString);
        quarvex::Connection projectsCon(config.projectsConnectionString);
        tramosCon.Open();
        projectsCon.Open();
        Projecto demo = makeDemoProject(tramosCon, projectsCon);
        Projectos().saveProject(projectsCon, demo);
        projectsCon.Close();
        tramosCon.Close();
    }
    std::filesystem::rename(partial, target);
    return true;
}

}  // namespace kambrix
