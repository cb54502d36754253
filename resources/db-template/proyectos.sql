-- SPDX-License-Identifier: GPL-3.0-or-later
-- Projects store "proyectos.mdb": systems and their spans, sprinkler charts, drops and
-- pipe materials, field evaluations and agronomic data. Starts with no projects.
--
-- Identity columns never hand out a key twice (AUTOINCREMENT), so rows left behind by a
-- deleted system or chart can never attach themselves to a new one. Flags are BOOLEAN
-- columns that take the literals true and false (stored as 1 and 0). Units as the program
-- holds them: m, mm, cm for outlet spacing, L/s, kPa, hours.

CREATE TABLE projectos (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    designacao TEXT,
    propietario TEXT,
    areaParcela REAL,
    P REAL,
    Q REAL,
    cotaCentro REAL,
    pipe_material_id INTEGER,
    cota_central REAL,
    voladizo BOOLEAN,
    gun BOOLEAN,
    gun_rs REAL,
    horas_de_operacao_diaria REAL
);

CREATE TABLE tramos (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    projecto_id INTEGER,
    tramo_id INTEGER,
    ordem INTEGER,
    denominacion TEXT,
    longitud REAL,
    diametro REAL,
    separacion_saidas REAL,
    cota REAL
);
CREATE INDEX tramos_projecto_id ON tramos (projecto_id);

CREATE TABLE tb_cartas (
    id_carta INTEGER PRIMARY KEY AUTOINCREMENT,
    nome TEXT,
    boost REAL,
    id_sistema INTEGER
);
CREATE INDEX tb_cartas_id_sistema ON tb_cartas (id_sistema);

CREATE TABLE tb_aspersores (
    id_aspersores INTEGER PRIMARY KEY AUTOINCREMENT,
    tramo INTEGER,
    saida INTEGER,
    id_aspersor INTEGER,
    id_carta INTEGER
);
CREATE INDEX tb_aspersores_id_carta ON tb_aspersores (id_carta);

CREATE TABLE tb_reguladores (
    id_carta INTEGER,
    tramo INTEGER,
    pression REAL,
    caudal_max REAL,
    caudal_min REAL,
    installed BOOLEAN
);
CREATE INDEX tb_reguladores_id_carta ON tb_reguladores (id_carta);

CREATE TABLE tb_indicadores (
    id_indicadores INTEGER PRIMARY KEY AUTOINCREMENT,
    id_carta INTEGER,
    numero_horas REAL,
    numero_obturadas INTEGER
);
CREATE INDEX tb_indicadores_id_carta ON tb_indicadores (id_carta);

CREATE TABLE tb_pluviometria (
    id_pluviometria INTEGER PRIMARY KEY AUTOINCREMENT,
    id_carta INTEGER,
    distCentro1 REAL,
    distCentro2 REAL,
    Dmoj1 REAL,
    Dmoj2 REAL,
    k REAL,
    a REAL
);
CREATE INDEX tb_pluviometria_id_carta ON tb_pluviometria (id_carta);

-- At most one drop per chart, addressed by carta_id.
CREATE TABLE tb_drop (
    longitud REAL,
    diametro REAL,
    pipe_material_id INTEGER,
    installed BOOLEAN,
    carta_id INTEGER
);
CREATE INDEX tb_drop_carta_id ON tb_drop (carta_id);

-- rugosidade: the Hazen-Williams C of the material.
CREATE TABLE pipe_materials (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    name TEXT,
    rugosidade REAL
);

-- pluviometer_diameter in m; the sample lists as text, one "distance volume" line each.
CREATE TABLE pivot_evaluations (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    name TEXT,
    pluviometer_diameter REAL,
    first_samples TEXT,
    second_samples TEXT
);

CREATE TABLE tb_agronomico (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    kf REAL,
    Etc REAL,
    Pe REAL,
    id_sistema INTEGER
);
CREATE INDEX tb_agronomico_id_sistema ON tb_agronomico (id_sistema);

CREATE TABLE epa_datas (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    Pa REAL,
    CU REAL,
    Eto REAL,
    U REAL,
    CI REAL,
    Oe REAL,
    id_sistema INTEGER
);
CREATE INDEX epa_datas_id_sistema ON epa_datas (id_sistema);

CREATE TABLE tovren_agronomics (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    Qfc REAL,
    hours_per_day REAL,
    id_sistema INTEGER
);
CREATE INDEX tovren_agronomics_id_sistema ON tovren_agronomics (id_sistema);

-- The water that feeds a system: the line from the pump to the pivot point (lift in m, the
-- pivot point above the water; length m, inside diameter mm, Hazen-Williams C), the
-- pressure (kPa) and discharge (L/s) measured at the pivot, and the nozzle wear (a
-- fraction); NULL where not given. The pump curve's rows (L/s, kPa) in order.
CREATE TABLE tb_supply (
    id_sistema INTEGER PRIMARY KEY,
    lift REAL,
    line_length REAL,
    line_diametro REAL,
    line_rugosidad REAL,
    measured_presion REAL,
    measured_caudal REAL,
    nozzle_wear REAL
);
CREATE TABLE tb_supply_pump (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    id_sistema INTEGER NOT NULL,
    orden INTEGER NOT NULL,
    caudal REAL NOT NULL,
    presion REAL NOT NULL
);
CREATE INDEX tb_supply_pump_id_sistema ON tb_supply_pump (id_sistema);

-- What a printed chart carries beyond the design: who designed, checked and approved the
-- chart, the model of its pressure regulators and when it was last saved ("2026-12-09
-- 22:41", UTC); its system's id for the delete of a system. Per system, the height of the
-- pipe above the ground (m; NULL when not given).
CREATE TABLE tb_chart_print (
    id_carta INTEGER PRIMARY KEY,
    id_sistema INTEGER,
    designed_by TEXT,
    checked_by TEXT,
    approved_by TEXT,
    regulator_model TEXT,
    saved_at TEXT
);
CREATE INDEX tb_chart_print_id_sistema ON tb_chart_print (id_sistema);
CREATE TABLE tb_system_print (
    id_sistema INTEGER PRIMARY KEY,
    pipe_height REAL
);

INSERT INTO pipe_materials (id, name, rugosidade) VALUES (1, 'Galvanised steel', 120);
INSERT INTO pipe_materials (id, name, rugosidade) VALUES (2, 'Polyethylene', 150);
INSERT INTO pipe_materials (id, name, rugosidade) VALUES (3, 'PVC', 150);
INSERT INTO pipe_materials (id, name, rugosidade) VALUES (4, 'Aluminium', 130);

-- The conditions of a catch-can test, one row per evaluation name: the tested system and
-- chart (their ids), date and start time as typed, duration h, timer %, wind m/s and its
-- direction, air temperature °C, pressure kPa and discharge L/s measured at the pivot, can
-- spacing m, notes; NULL where not given.
CREATE TABLE tb_evaluation_conditions (
    nombre TEXT PRIMARY KEY,
    id_sistema INTEGER,
    id_carta INTEGER,
    fecha TEXT,
    hora TEXT,
    duracion REAL,
    temporizador REAL,
    viento REAL,
    viento_direccion TEXT,
    temperatura REAL,
    presion REAL,
    caudal REAL,
    espaciado REAL,
    notas TEXT
);

-- Who saved each record last (a system, a chart, an evaluation, a catalogue entry), when,
-- and its version, which goes up with every save; `deleted` marks a record deleted since.
CREATE TABLE tb_row_versions (
    kind TEXT NOT NULL,
    row_key TEXT NOT NULL,
    version INTEGER NOT NULL,
    saved_by TEXT,
    saved_at TEXT,
    deleted INTEGER NOT NULL DEFAULT 0,
    PRIMARY KEY (kind, row_key)
);

-- The version of these tables (see the schema steps of the program).
PRAGMA user_version = 5;
