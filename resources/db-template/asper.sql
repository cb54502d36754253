-- SPDX-License-Identifier: GPL-3.0-or-later
-- Sprinkler catalogue "asper.mdb": brands, models and nozzles.
--
-- Every nozzle follows q = a * p^b (q in L/s, p in kPa). The starter nozzles are plain
-- orifices, so b = 0.5 and a follows from the orifice law:
--   q = Cd * A * sqrt(2 * dp / rho)                 (q in m3/s, A in m2, dp in Pa)
--   dp = 1000 * p    (p in kPa),   rho = 1000 kg/m3   =>  sqrt(2 * dp / rho) = sqrt(2 * p) m/s
--   A = pi * (d / 1000)^2 / 4     (d, the orifice diameter, in mm)
--   q[L/s] = 1000 * Cd * pi * d^2 * 1e-6 / 4 * sqrt(2) * p^0.5
--   a = Cd * pi * d^2 * sqrt(2) / 4000              (L/s per kPa^0.5)
-- Example: d = 4 mm, Cd = 0.95: a = 0.016883, q(100 kPa) = 0.1688 L/s (10.1 L/min).
-- a is stored rounded to 6 significant digits; qmin and qmax are a * pmin^b and a * pmax^b
-- from the stored a, rounded to 5 decimals.
-- The brand and model names are generic starter entries, not makers' catalogues.

CREATE TABLE marca (
    id_marca INTEGER PRIMARY KEY AUTOINCREMENT,
    nome TEXT
);

CREATE TABLE Modelos (
    id_modelo INTEGER PRIMARY KEY AUTOINCREMENT,
    id_marca INTEGER,
    modelo TEXT
);
CREATE INDEX Modelos_id_marca ON Modelos (id_marca);

CREATE TABLE Boquillas (
    ID_Boquillas INTEGER PRIMARY KEY AUTOINCREMENT,
    denominacion TEXT,
    a REAL,
    b REAL,
    pmin REAL,
    pmax REAL,
    qmin REAL,
    qmax REAL,
    id_modelo INTEGER
);
CREATE INDEX Boquillas_id_modelo ON Boquillas (id_modelo);

INSERT INTO marca (id_marca, nome) VALUES (1, 'Aquilon');
INSERT INTO marca (id_marca, nome) VALUES (2, 'Rotagua');
INSERT INTO marca (id_marca, nome) VALUES (3, 'Lluvia Norte');

INSERT INTO Modelos (id_modelo, id_marca, modelo) VALUES (1, 1, 'Fixed spray plate');
INSERT INTO Modelos (id_modelo, id_marca, modelo) VALUES (2, 1, 'Rotating spray plate');
INSERT INTO Modelos (id_modelo, id_marca, modelo) VALUES (3, 2, 'Rotating spray plate');
INSERT INTO Modelos (id_modelo, id_marca, modelo) VALUES (4, 3, 'End gun');

-- Aquilon Fixed spray plate: Cd = 0.95, 40 to 400 kPa
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-F 2.00 mm', 0.00422074, 0.5, 40, 400, 0.02669, 0.08441, 1);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-F 2.25 mm', 0.00534187, 0.5, 40, 400, 0.03378, 0.10684, 1);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-F 2.50 mm', 0.0065949, 0.5, 40, 400, 0.04171, 0.1319, 1);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-F 2.75 mm', 0.00797983, 0.5, 40, 400, 0.05047, 0.1596, 1);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-F 3.00 mm', 0.00949666, 0.5, 40, 400, 0.06006, 0.18993, 1);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-F 3.25 mm', 0.0111454, 0.5, 40, 400, 0.07049, 0.22291, 1);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-F 3.50 mm', 0.012926, 0.5, 40, 400, 0.08175, 0.25852, 1);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-F 3.75 mm', 0.0148385, 0.5, 40, 400, 0.09385, 0.29677, 1);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-F 4.00 mm', 0.016883, 0.5, 40, 400, 0.10678, 0.33766, 1);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-F 4.25 mm', 0.0190593, 0.5, 40, 400, 0.12054, 0.38119, 1);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-F 4.50 mm', 0.0213675, 0.5, 40, 400, 0.13514, 0.42735, 1);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-F 4.75 mm', 0.0238076, 0.5, 40, 400, 0.15057, 0.47615, 1);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-F 5.00 mm', 0.0263796, 0.5, 40, 400, 0.16684, 0.52759, 1);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-F 5.25 mm', 0.0290835, 0.5, 40, 400, 0.18394, 0.58167, 1);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-F 5.50 mm', 0.0319193, 0.5, 40, 400, 0.20188, 0.63839, 1);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-F 5.75 mm', 0.034887, 0.5, 40, 400, 0.22064, 0.69774, 1);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-F 6.00 mm', 0.0379866, 0.5, 40, 400, 0.24025, 0.75973, 1);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-F 6.25 mm', 0.0412182, 0.5, 40, 400, 0.26069, 0.82436, 1);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-F 6.50 mm', 0.0445816, 0.5, 40, 400, 0.28196, 0.89163, 1);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-F 6.75 mm', 0.0480769, 0.5, 40, 400, 0.30407, 0.96154, 1);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-F 7.00 mm', 0.0517041, 0.5, 40, 400, 0.32701, 1.03408, 1);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-F 7.25 mm', 0.0554631, 0.5, 40, 400, 0.35078, 1.10926, 1);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-F 7.50 mm', 0.0593541, 0.5, 40, 400, 0.37539, 1.18708, 1);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-F 7.75 mm', 0.063377, 0.5, 40, 400, 0.40083, 1.26754, 1);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-F 8.00 mm', 0.0675318, 0.5, 40, 400, 0.42711, 1.35064, 1);

-- Aquilon Rotating spray plate: Cd = 0.92, 70 to 400 kPa
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-R 2.00 mm', 0.00408745, 0.5, 70, 400, 0.0342, 0.08175, 2);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-R 2.25 mm', 0.00517318, 0.5, 70, 400, 0.04328, 0.10346, 2);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-R 2.50 mm', 0.00638664, 0.5, 70, 400, 0.05343, 0.12773, 2);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-R 2.75 mm', 0.00772784, 0.5, 70, 400, 0.06466, 0.15456, 2);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-R 3.00 mm', 0.00919677, 0.5, 70, 400, 0.07695, 0.18394, 2);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-R 3.25 mm', 0.0107934, 0.5, 70, 400, 0.0903, 0.21587, 2);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-R 3.50 mm', 0.0125178, 0.5, 70, 400, 0.10473, 0.25036, 2);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-R 3.75 mm', 0.0143699, 0.5, 70, 400, 0.12023, 0.2874, 2);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-R 4.00 mm', 0.0163498, 0.5, 70, 400, 0.13679, 0.327, 2);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-R 4.25 mm', 0.0184574, 0.5, 70, 400, 0.15443, 0.36915, 2);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-R 4.50 mm', 0.0206927, 0.5, 70, 400, 0.17313, 0.41385, 2);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-R 4.75 mm', 0.0230558, 0.5, 70, 400, 0.1929, 0.46112, 2);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-R 5.00 mm', 0.0255466, 0.5, 70, 400, 0.21374, 0.51093, 2);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-R 5.25 mm', 0.0281651, 0.5, 70, 400, 0.23565, 0.5633, 2);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-R 5.50 mm', 0.0309114, 0.5, 70, 400, 0.25862, 0.61823, 2);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-R 5.75 mm', 0.0337853, 0.5, 70, 400, 0.28267, 0.67571, 2);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-R 6.00 mm', 0.0367871, 0.5, 70, 400, 0.30778, 0.73574, 2);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-R 6.25 mm', 0.0399165, 0.5, 70, 400, 0.33397, 0.79833, 2);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-R 6.50 mm', 0.0431737, 0.5, 70, 400, 0.36122, 0.86347, 2);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-R 6.75 mm', 0.0465586, 0.5, 70, 400, 0.38954, 0.93117, 2);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-R 7.00 mm', 0.0500713, 0.5, 70, 400, 0.41893, 1.00143, 2);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-R 7.25 mm', 0.0537117, 0.5, 70, 400, 0.44938, 1.07423, 2);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-R 7.50 mm', 0.0574798, 0.5, 70, 400, 0.48091, 1.1496, 2);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-R 7.75 mm', 0.0613757, 0.5, 70, 400, 0.51351, 1.22751, 2);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('AQ-R 8.00 mm', 0.0653992, 0.5, 70, 400, 0.54717, 1.30798, 2);

-- Rotagua Rotating spray plate: Cd = 0.93, 60 to 350 kPa
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('RT-S 2.50 mm', 0.00645606, 0.5, 60, 350, 0.05001, 0.12078, 3);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('RT-S 2.75 mm', 0.00781184, 0.5, 60, 350, 0.06051, 0.14615, 3);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('RT-S 3.00 mm', 0.00929673, 0.5, 60, 350, 0.07201, 0.17393, 3);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('RT-S 3.25 mm', 0.0109107, 0.5, 60, 350, 0.08451, 0.20412, 3);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('RT-S 3.50 mm', 0.0126539, 0.5, 60, 350, 0.09802, 0.23673, 3);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('RT-S 3.75 mm', 0.0145261, 0.5, 60, 350, 0.11252, 0.27176, 3);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('RT-S 4.00 mm', 0.0165275, 0.5, 60, 350, 0.12802, 0.3092, 3);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('RT-S 4.25 mm', 0.018658, 0.5, 60, 350, 0.14452, 0.34906, 3);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('RT-S 4.50 mm', 0.0209176, 0.5, 60, 350, 0.16203, 0.39133, 3);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('RT-S 4.75 mm', 0.0233064, 0.5, 60, 350, 0.18053, 0.43602, 3);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('RT-S 5.00 mm', 0.0258243, 0.5, 60, 350, 0.20003, 0.48313, 3);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('RT-S 5.25 mm', 0.0284712, 0.5, 60, 350, 0.22054, 0.53265, 3);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('RT-S 5.50 mm', 0.0312474, 0.5, 60, 350, 0.24204, 0.58459, 3);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('RT-S 5.75 mm', 0.0341526, 0.5, 60, 350, 0.26454, 0.63894, 3);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('RT-S 6.00 mm', 0.0371869, 0.5, 60, 350, 0.28805, 0.6957, 3);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('RT-S 6.25 mm', 0.0403504, 0.5, 60, 350, 0.31255, 0.75489, 3);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('RT-S 6.50 mm', 0.043643, 0.5, 60, 350, 0.33806, 0.81649, 3);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('RT-S 6.75 mm', 0.0470647, 0.5, 60, 350, 0.36456, 0.8805, 3);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('RT-S 7.00 mm', 0.0506155, 0.5, 60, 350, 0.39207, 0.94693, 3);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('RT-S 7.25 mm', 0.0542955, 0.5, 60, 350, 0.42057, 1.01578, 3);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('RT-S 7.50 mm', 0.0581046, 0.5, 60, 350, 0.45008, 1.08704, 3);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('RT-S 7.75 mm', 0.0620428, 0.5, 60, 350, 0.48058, 1.16071, 3);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('RT-S 8.00 mm', 0.0661101, 0.5, 60, 350, 0.51209, 1.23681, 3);

-- Lluvia Norte End gun: Cd = 0.96, 200 to 600 kPa
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('LN-G 10.00 mm', 0.106629, 0.5, 200, 600, 1.50796, 2.61187, 4);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('LN-G 11.00 mm', 0.129021, 0.5, 200, 600, 1.82463, 3.16036, 4);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('LN-G 12.00 mm', 0.153546, 0.5, 200, 600, 2.17147, 3.76109, 4);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('LN-G 13.00 mm', 0.180203, 0.5, 200, 600, 2.54846, 4.41405, 4);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('LN-G 14.00 mm', 0.208993, 0.5, 200, 600, 2.95561, 5.11926, 4);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('LN-G 15.00 mm', 0.239916, 0.5, 200, 600, 3.39292, 5.87672, 4);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('LN-G 16.00 mm', 0.272971, 0.5, 200, 600, 3.86039, 6.6864, 4);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('LN-G 17.00 mm', 0.308158, 0.5, 200, 600, 4.35801, 7.5483, 4);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('LN-G 18.00 mm', 0.345479, 0.5, 200, 600, 4.88581, 8.46247, 4);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('LN-G 19.00 mm', 0.384931, 0.5, 200, 600, 5.44375, 9.42885, 4);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('LN-G 20.00 mm', 0.426517, 0.5, 200, 600, 6.03186, 10.44749, 4);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('LN-G 21.00 mm', 0.470235, 0.5, 200, 600, 6.65013, 11.51836, 4);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('LN-G 22.00 mm', 0.516085, 0.5, 200, 600, 7.29854, 12.64145, 4);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('LN-G 23.00 mm', 0.564068, 0.5, 200, 600, 7.97713, 13.81679, 4);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('LN-G 24.00 mm', 0.614184, 0.5, 200, 600, 8.68587, 15.04437, 4);
INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, id_modelo) VALUES ('LN-G 25.00 mm', 0.666432, 0.5, 200, 600, 9.42477, 16.32418, 4);

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
PRAGMA user_version = 2;
