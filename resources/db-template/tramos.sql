-- SPDX-License-Identifier: GPL-3.0-or-later
-- Reference-span catalogue "tramos.mdb": spans of the machines and their brands.
-- longitud in m, diametro (inside pipe diameter) in mm, separacion_saidas (outlet
-- spacing) in cm, diametro_exterior (outside pipe diameter) in mm, NULL where not known.
-- The brand names are generic starter entries, not makers' catalogues.

CREATE TABLE tb_marcas (
    id_marca INTEGER PRIMARY KEY AUTOINCREMENT,
    marca TEXT
);

CREATE TABLE Valley (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    denominacion TEXT,
    longitud REAL,
    diametro REAL,
    separacion_saidas REAL,
    id_marca INTEGER,
    diametro_exterior REAL
);
CREATE INDEX Valley_id_marca ON Valley (id_marca);

INSERT INTO tb_marcas (id_marca, marca) VALUES (1, 'Ruedasol');
INSERT INTO tb_marcas (id_marca, marca) VALUES (2, 'Arcoverde');
INSERT INTO tb_marcas (id_marca, marca) VALUES (3, 'Tierra Ancha');

INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('RS 101.6x35', 35.0, 101.6, 150, 1);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('RS 101.6x41.5', 41.5, 101.6, 150, 1);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('RS 101.6x48.2', 48.2, 101.6, 150, 1);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('RS 141.3x44.8', 44.8, 141.3, 200, 1);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('RS 141.3x50.9', 50.9, 141.3, 200, 1);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('RS 141.3x54', 54.0, 141.3, 200, 1);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('RS 162x50.9', 50.9, 162.0, 250, 1);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('RS 162x56.4', 56.4, 162.0, 250, 1);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('RS 162x59.5', 59.5, 162.0, 250, 1);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('RS 202.7x54', 54.0, 202.7, 300, 1);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('RS 202.7x59.5', 59.5, 202.7, 300, 1);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('RS 202.7x62', 62.0, 202.7, 300, 1);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('AV 101.6x38.4', 38.4, 101.6, 150, 2);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('AV 101.6x44.8', 44.8, 101.6, 150, 2);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('AV 141.3x41.5', 41.5, 141.3, 200, 2);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('AV 141.3x48.2', 48.2, 141.3, 200, 2);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('AV 141.3x54', 54.0, 141.3, 200, 2);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('AV 162x48.2', 48.2, 162.0, 250, 2);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('AV 162x54', 54.0, 162.0, 250, 2);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('AV 162x62', 62.0, 162.0, 250, 2);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('AV 202.7x56.4', 56.4, 202.7, 300, 2);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('AV 202.7x62', 62.0, 202.7, 300, 2);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('TA 141.3x35', 35.0, 141.3, 150, 3);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('TA 141.3x38.4', 38.4, 141.3, 150, 3);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('TA 141.3x44.8', 44.8, 141.3, 150, 3);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('TA 162x44.8', 44.8, 162.0, 200, 3);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('TA 162x50.9', 50.9, 162.0, 200, 3);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('TA 162x56.4', 56.4, 162.0, 200, 3);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('TA 202.7x50.9', 50.9, 202.7, 250, 3);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('TA 202.7x56.4', 56.4, 202.7, 250, 3);
INSERT INTO Valley (denominacion, longitud, diametro, separacion_saidas, id_marca) VALUES ('TA 202.7x62', 62.0, 202.7, 250, 3);

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
PRAGMA user_version = 3;
