// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/AgronomicDesign.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/agronomic_inputs.h"
#include "gui/widgets/connections.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/error_handler.h"
#include "gui/widgets/number_box.h"
#include "gui/widgets/number_display.h"
#include "gui/widgets/translation.h"
#include "gui/widgets/units_view.h"

namespace kambrix {

namespace {

constexpr QSize kPreferredSize(940, 520);

const char* const kSaveQuestion = "Do you want to save the agronomic data of the current system?";

}  // namespace

AgronomicDesign::AgronomicDesign(const AppServices& services, QWidget* parent)
    : QWidget(parent), services_(services), presenter_(decimalSeparator()) {
    setObjectName("AgronomicDesign");
    setWindowTitle(QStringLiteral("Diseño agronómico con datos del utilizador"));
    auto& m = services_.messages;
    auto onChange = [this] { changed(); };
    using In = AgronomicInput;

    auto* fraCultivo = new QGroupBox(QStringLiteral("Necesidades del cultivo"), this);
    fraCultivo->setObjectName("fraCultivo");
    auto* cultivo = new QGridLayout(fraCultivo);
    kf_ = agronomicBox(fraCultivo, cultivo, 0, "txtKf", "lblKf",
                       QStringLiteral("Factor de las necesidades netas, Kf"), QString(), In::kf, m,
                       onChange);
    etc_ = agronomicBox(fraCultivo, cultivo, 1, "txtEtc", "lblEtc",
                        QStringLiteral("Evapotranspiración del cultivo, Etc"),
                        QStringLiteral("mm/día"), In::Etc, m, onChange);
    pe_ = agronomicBox(fraCultivo, cultivo, 2, "txtPe", "lblPe",
                       QStringLiteral("Precipitación efectiva, Pe"), QStringLiteral("mm/día"),
                       In::Pe, m, onChange);
    cultivo->setColumnStretch(0, 1);

    efficiency_ = new EfficiencyFrame(m, onChange, this);

    auto* fraNecesidades = new QGroupBox(QStringLiteral("Necesidades de riego"), this);
    fraNecesidades->setObjectName("fraNecesidades");
    auto* necesidades = new QGridLayout(fraNecesidades);
    resultRow(fraNecesidades, necesidades, 0, "lblGIR_v", "lblGIR",
              QStringLiteral("Necesidades brutas de riego, GIR"), QStringLiteral("mm/día"),
              resultQuantity(ResultLabel::GIR));
    necesidades->setColumnStretch(0, 1);

    auto* fraCaudal = new QGroupBox(QStringLiteral("Caudal del sistema"), this);
    fraCaudal->setObjectName("fraCaudal");
    auto* caudal = new QGridLayout(fraCaudal);
    area_ = agronomicBox(fraCaudal, caudal, 0, "txtArea", "lblArea",
                         QStringLiteral("Área de la parcela"), QStringLiteral("ha"), In::FieldArea,
                         m, onChange);
    horas_ = agronomicBox(fraCaudal, caudal, 1, "txt_horas", "lblHoras",
                          QStringLiteral("Horas de funcionamiento diarias"),
                          QStringLiteral("h/día"), In::HoursPerDay, m, onChange);
    resultRow(fraCaudal, caudal, 2, "lblCaudal_v", "lblCaudal",
              QStringLiteral("Caudal a suministrar"), QStringLiteral("L/s"),
              resultQuantity(ResultLabel::Caudal));
    auto* cmdCompute =
        namedButton(fraCaudal, "cmd_compute_caudal", QStringLiteral("Calcular el caudal"));
    caudal->addWidget(cmdCompute, 3, 1, 1, 2);
    caudal->setColumnStretch(0, 1);

    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(fraCultivo);
    left->addWidget(efficiency_);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(fraNecesidades);
    right->addWidget(fraCaudal);
    right->addStretch();
    columns->addLayout(left, 3);
    columns->addLayout(right, 2);

    auto* buttons = new QHBoxLayout;
    auto* lblSistema =
        namedLabel(this, "lblSistema", QString::fromStdString(services_.document.project().nome));
    QFont f = lblSistema->font();
    f.setBold(true);
    lblSistema->setFont(f);
    auto* cmdCalc = namedButton(this, "cmdCalc", QStringLiteral("Calcular"));
    auto* cmdGuardar = namedButton(this, "cmdGuardar", QStringLiteral("Guardar"));
    auto* command1 = namedButton(this, "Command1", QStringLiteral("Salir"));
    cmdCalc->setDefault(true);
    buttons->addWidget(lblSistema);
    buttons->addStretch();
    for (auto* b : {cmdCalc, cmdGuardar, command1}) {
        buttons->addWidget(b);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addLayout(buttons);
    addStatusLine(this, layout);

    onSignal(cmdCalc, &QPushButton::clicked, this, m, [this] { cmdCalc_Click(); });
    onSignal(cmdCompute, &QPushButton::clicked, this, m, [this] { cmd_compute_caudal_Click(); });
    onSignal(cmdGuardar, &QPushButton::clicked, this, m, [this] { save(); });
    onSignal(command1, &QPushButton::clicked, this, services_.messages, [this] { close(); });

    std::vector<QWidget*> order = {kf_->box(), etc_->box(), pe_->box()};
    for (QWidget* w : efficiency_->tabOrder()) {
        order.push_back(w);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{area_->box(), horas_->box(), cmdCompute,
                                                      cmdCalc, cmdGuardar, command1}) {
        order.push_back(w);
    }
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }

    // Every box, unit label and result with a unit shows the units chosen.
    captionsFollowUnits(this);
    onUnitsChanged(this, [this] { redrawResultsInUnits(this); });
    translateForm(this, services_.config.languageFile);

    // The stored data of the system, with the results they give; the discharge shown is the
    // project's own, as the hydraulic design has it.
    AgronomicScreen screen;
    try {
        screen = presenter_.open(services_.config.projectsConnectionString,
                                 services_.document.project());
    } catch (...) {
        handleDatabaseError(m, this, "The agronomic data of the system could not be read");
        screen = presenter_.open(services_.document.project(), Agronomics{});
    }
    const AgronomicBoxes& b = screen.boxes;
    setBoxText(kf_, b.kf);
    setBoxText(etc_, b.Etc);
    setBoxText(pe_, b.Pe);
    efficiency_->fill(b.epa);
    setBoxText(area_, b.area);
    setBoxText(horas_, b.hours);
    ResultTexts shown = presenter_.calculate(boxes());
    shown.Caudal = screen.discharge;
    shown.values[static_cast<std::size_t>(ResultLabel::Caudal)].reset();  // the project's
    showResultTexts(this, shown);
    fitToScreen(this, kPreferredSize);
}

AgronomicBoxes AgronomicDesign::boxes() const {
    // The presenter reads the stored units.
    AgronomicBoxes b;
    b.kf = kf_->storedText();
    b.Etc = etc_->storedText();
    b.Pe = pe_->storedText();
    b.epa = efficiency_->boxes();
    b.area = area_->storedText();
    b.hours = horas_->storedText();
    return b;
}

bool AgronomicDesign::commitBoxes() {
    return commitAll({kf_, etc_, pe_}) && efficiency_->commit() && commitAll({area_, horas_});
}

void AgronomicDesign::changed() {
    dirty_ = true;
    // The results follow the data; a missing input is named only by the commands, and a
    // computation fault leaves its result empty until a command reports it.
    showResultTexts(this, presenter_.calculate(boxes()));
}

void AgronomicDesign::cmdCalc_Click() {
    if (!commitBoxes()) {
        return;
    }
    const ResultTexts r = presenter_.calculate(boxes());
    showCommandResult(this, services_.messages, r);
}

void AgronomicDesign::cmd_compute_caudal_Click() {
    if (!commitBoxes()) {
        return;
    }
    const ResultTexts r = presenter_.computeDischarge(boxes());
    showCommandResult(this, services_.messages, r);
}

bool AgronomicDesign::save() {
    if (!commitBoxes()) {
        return false;
    }
    const bool saved = saveAgronomicScreen(
        this, services_.messages,
        [this] {
            return presenter_.save(services_.config.projectsConnectionString, services_.document,
                                   boxes());
        },
        "The agronomic data could not be saved",
        QStringLiteral("The agronomic data of the system '%1' were saved")
            .arg(QString::fromStdString(services_.document.project().nome)));
    if (saved) {
        dirty_ = false;
    }
    return saved;
}

void AgronomicDesign::closeEvent(QCloseEvent* event) {
    closeAskingToSave(event, services_.messages, this, dirty_, QString::fromLatin1(kSaveQuestion),
                      [this] { return save(); });
}

}  // namespace kambrix
