// SPDX-License-Identifier: GPL-3.0-or-later
#include <quarvex/quarvex.h>

namespace quarvex {
namespace {

std::string text(int v) {
    return std::to_string(v);
}

// Runs `work` on a connection opened from the connection string; the connection is closed
// on every path, and an open transaction is rolled back explicitly when `work` fails.
template <class F>
auto withConnection(const std::string& connectionString, F&& work) {
    Connection con(connectionString);
    con.Open();
    try {
        if constexpr (std::is_void_v<decltype(work(con))>) {
            work(con);
            con.Close();
        } else {
            auto result = work(con);
            con.Close();
            return result;
        }
    } catch (...) {
        if (con.InTransaction()) {
            con.RollbackTrans();
        }
        con.Close();
        throw;
    }
}

}  // namespace

void CartaAspersoresStatic::destroy(const std::string& connectionString, int id_carta) const {
    withConnection(connectionString, [&](Connection& con) {
        con.BeginTrans();
        destroy(con, id_carta);
        con.CommitTrans();
    });
}

void CartaAspersoresStatic::destroy(Connection& con, int id_carta) const {
    if (!con.InTransaction()) {
        inTransaction(con, [&] { destroy(con, id_carta); });
        return;
    }
    const std::vector<std::string> id{text(id_carta)};
    con.Execute(bindParameters("DELETE FROM tb_indicadores WHERE id_carta=?", id));
    con.Execute(bindParameters("DELETE FROM tb_pluviometria WHERE id_carta=?", id));
    con.Execute(bindParameters("DELETE FROM tb_reguladores WHERE id_carta=?", id));
    con.Execute(bindParameters("DELETE FROM tb_aspersores WHERE id_carta=?", id));
    Drops().deleteDrop(con, id_carta);
    con.Execute(bindParameters("DELETE FROM tb_cartas WHERE id_carta=?", id));
}

std::shared_ptr<CartaAspersores> CartaAspersoresStatic::find(const std::string& connectionString,
                                                             const std::string& asperdbpath,
                                                             int id_carta) const {
    auto carta = std::make_shared<CartaAspersores>();
    carta->init();
    withConnection(connectionString, [&](Connection& con) {
        const std::string id = text(id_carta);
        RecordSet head =
            con.Execute(bindParameters("SELECT nome,boost from tb_cartas WHERE id_carta=?;", {id}));
        if (head.IsEOF()) {
            return;
        }
        carta->setId(id_carta);
        carta->setNome(nullToText(head.Field("nome")));
        carta->setEndGunBoost(nullToZero(head.Field("boost")));

        const std::string P = "[" + asperdbpath + "].";
        const AspersoresStatic catalogue;
        const CoordenadasSaidas coordenadas;
        RecordSet rs =
            con.Execute("SELECT " + std::string("tb_a.id_aspersores,tb_a.tramo,tb_a.saida") + "," +
                        AspersoresStatic::catalogueColumns() + " FROM " +
                        joinTables({"tb_aspersores as tb_a",
                                    P + "Boquillas AS b" + " ON tb_a.id_aspersor=b.ID_Boquillas ",
                                    P + "Modelos ON b.id_modelo=modelos.id_modelo",
                                    P + "Marca ON modelos.id_marca=marca.id_marca"}) +
                        " WHERE tb_a.id_carta=" + id + ";");
        for (; !rs.IsEOF(); rs.MoveNext()) {
            const auto outlet = coordenadas.newTramoCoordenadas(rs.Field("tramo").AsInt(),
                                                                rs.Field("saida").AsInt());
            auto entry = newMountedAspersor(outlet, catalogue.fromRow(rs));
            entry->setId(static_cast<int>(rs.Field("id_aspersores").AsLong()));
            carta->addMountedAspersor(entry);
        }

        RecordSet ind = con.Execute(
            "SELECT id_indicadores,numero_horas,numero_obturadas FROM tb_indicadores WHERE "
            "id_carta=" +
            id + ";");
        indicadores i;
        i.horasRevolucao = nullToZero(ind.Field("numero_horas"));
        i.numeroSaidasObturadas = static_cast<int>(nullToZero(ind.Field("numero_obturadas")));
        i.id = static_cast<int>(nullToZero(ind.Field("Id_indicadores")));
        carta->setIndicadores(i);

        RecordSet pl = con.Execute(
            "SELECT id_pluviometria,distCentro1,distCentro2,Dmoj1,Dmoj2,k,a FROM tb_Pluviometria "
            "WHERE id_carta=" +
            id + ";");
        PluviometryCheck check;
        check.firstSample = {nullToZero(pl.Field("distCentro1")), nullToZero(pl.Field("Dmoj1")),
                             "first_sample"};
        check.secondSample = {nullToZero(pl.Field("distCentro2")), nullToZero(pl.Field("Dmoj2")),
                              "second_sample"};
        check.kostiakov = {nullToZero(pl.Field("k")), nullToZero(pl.Field("a"))};
        carta->setPluviometriaCheck(check);

        RecordSet reg = con.Execute(bindParameters(
            "SELECT tramo,pression,caudal_max,caudal_min,installed FROM tb_reguladores WHERE "
            "id_carta=?;",
            {id}));
        auto reguladores = std::make_shared<Reguladores>();
        for (; !reg.IsEOF(); reg.MoveNext()) {
            reguladores->Add(std::make_shared<ReguladorPression>(
                static_cast<int>(nullToZero(reg.Field("tramo"))), nullToZero(reg.Field("pression")),
                nullToZero(reg.Field("caudal_max")), nullToZero(reg.Field("caudal_min")),
                nullToFalse(reg.Field("installed"))));
        }
        carta->setReguladores(reguladores);
        carta->setDrop(Drops().loadDrop(con, id_carta));
    });
    return carta;
}

Collection<CartaInfo> CartaAspersoresStatic::enumerateAll(const std::string& connectionString,
                                                          int id_sistema) const {
    return withConnection(connectionString,
                          [&](Connection& con) { return enumerateAll(con, id_sistema); });
}

Collection<CartaInfo> CartaAspersoresStatic::enumerateAll(Connection& con, int id_sistema) const {
    Collection<CartaInfo> out;
    RecordSet rs = con.Execute(
        "SELECT nome,id_carta FROM tb_cartas WHERE id_sistema=" + text(id_sistema) + ";");
    for (; !rs.IsEOF(); rs.MoveNext()) {
        CartaInfo info{nullToText(rs.Field("nome")),
                       static_cast<int>(rs.Field("id_carta").AsLong())};
        // Names are unique in a system by the rule of save; an older duplicate is kept under
        // its position only, so that listing never fails.
        std::optional<std::string> key;
        if (!out.Contains(info.nome)) {
            key = info.nome;
        }
        out.Add(info, key);
    }
    return out;
}

bool CartaAspersoresStatic::AnyFor(const std::string& connectionString, int id_sistema) const {
    return withConnection(connectionString, [&](Connection& con) {
        RecordSet rs = con.Execute(bindParameters(
            "SELECT count(*) as result FROM tb_cartas WHERE id_sistema=?", {text(id_sistema)}));
        return nullToZero(rs.Field("result")) > 0;
    });
}

void CartaAspersoresStatic::saveAsNew(const std::string& connectionString, int id_sistema,
                                      CartaAspersores& carta) const {
    // Written as a new chart whatever identifier it has; on any failure the chart keeps the
    // identifier it had (nothing was stored).
    withConnection(connectionString, [&](Connection& con) {
        con.BeginTrans();
        const int id = write(con, id_sistema, carta, 0);
        con.CommitTrans();
        carta.setId(id);
    });
}

void CartaAspersoresStatic::save(const std::string& connectionString, int id_sistema,
                                 CartaAspersores& carta) const {
    withConnection(connectionString, [&](Connection& con) {
        con.BeginTrans();
        const int id = write(con, id_sistema, carta, carta.id());
        con.CommitTrans();
        // Only a committed chart takes its new identifier: after a failed commit SQLite hands
        // the same key to the next chart, and a chart still holding it would overwrite that
        // one on its next save.
        carta.setId(id);
    });
}

int CartaAspersoresStatic::saveIn(Connection& con, int id_sistema, CartaAspersores& carta,
                                  bool asNew) const {
    if (!con.InTransaction()) {
        Exceptions::Throw(errc::InvalidArgument, "a chart is saved in an open transaction");
    }
    return write(con, id_sistema, carta, asNew ? 0 : carta.id());
}

int CartaAspersoresStatic::write(Connection& con, int id_sistema, CartaAspersores& carta,
                                 int id_carta) const {
    const std::string sistema = text(id_sistema);
    const std::string nome = sqlEscape(carta.getNome());
    RecordSet existing = con.Execute(
        bindParameters("SELECT COUNT(*) as numero_existentes_con_este_id FROM tb_cartas where "
                       "id_carta=? AND id_sistema=?;",
                       {text(id_carta), sistema}));
    int chartId = id_carta;
    if (nullToZero(existing.Field("numero_existentes_con_este_id")) == 0) {
        RecordSet same = con.Execute(
            bindParameters("SELECT count(*) as numero_cartas_com_mesmo_nome FROM tb_cartas "
                           "WHERE id_sistema=?  AND nome='?';",
                           {sistema, nome}));
        if (nullToZero(same.Field("numero_cartas_com_mesmo_nome")) > 0) {
            Exceptions::Throw(errc::NomeDaCartaJaExistente, carta.getNome());
        }
        con.Execute(
            bindParameters("INSERT INTO tb_cartas (nome,boost,id_sistema) values( '?',?, ?);",
                           {nome, sqlNumber(carta.getEndGunBoost()), sistema}));
        RecordSet newId =
            con.Execute("SELECT id_carta FROM tb_cartas  WHERE nome=" + sqlQuote(carta.getNome()) +
                        " AND id_sistema=" + sistema + ";");
        chartId = static_cast<int>(newId.Field("id_carta").AsLong());
    } else {
        con.Execute(bindParameters(
            "UPDATE tb_cartas set nome='?', boost=?  WHERE id_sistema=? AND id_carta = ?;",
            {nome, sqlNumber(carta.getEndGunBoost()), sistema, text(chartId)}));
    }

    const std::string id = text(chartId);
    con.Execute(bindParameters("DELETE FROM tb_aspersores WHERE id_carta=?;", {id}));
    carta.mountedAspersores().ForEach([&](const std::shared_ptr<MountedAspersor>& m) {
        if (m->deleted()) {
            return;
        }
        if (!m->Aspersor()) {
            Exceptions::Throw(errc::InvalidArgument, "a mounted entry without sprinkler");
        }
        con.Execute("INSERT INTO tb_aspersores (tramo,saida,id_aspersor,id_carta) values (" +
                    text(m->saida().numeroTramo) + "," + text(m->saida().saida) + "," +
                    text(m->Aspersor()->id()) + "," + id + ");");
    });

    const indicadores ind = carta.getIndicadores();
    con.Execute("DELETE FROM tb_indicadores WHERE id_carta=" + id + ";");
    con.Execute("INSERT INTO tb_indicadores (id_carta ,numero_horas,numero_obturadas) values (" +
                id + "," + sqlNumber(ind.horasRevolucao) + "," + text(ind.numeroSaidasObturadas) +
                ");");

    const PluviometryCheck pl = carta.getPluviometriaCheck();
    con.Execute("DELETE FROM tb_pluviometria WHERE id_carta=" + id + ";");
    con.Execute(
        "INSERT INTO tb_pluviometria (id_carta,distCentro1,distCentro2,Dmoj1,Dmoj2,k,a) values "
        "(" +
        id + "," + sqlNumber(pl.firstSample.distanceToCenter) + "," +
        sqlNumber(pl.secondSample.distanceToCenter) + "," + sqlNumber(pl.firstSample.wetDiameter) +
        "," + sqlNumber(pl.secondSample.wetDiameter) + "," + sqlNumber(pl.kostiakov.k) + "," +
        sqlNumber(pl.kostiakov.a) + ");");

    con.Execute(bindParameters("DELETE FROM tb_reguladores WHERE id_carta=?", {id}));
    carta.getReguladores()->ForEach([&](const std::shared_ptr<ReguladorPression>& r) {
        con.Execute(bindParameters(
            "INSERT INTO tb_reguladores "
            "(id_carta,tramo,pression,caudal_max,caudal_min,installed) VALUES (?,?,?,?,?,?);",
            {id, text(r->tramo()), sqlNumber(r->pression()), sqlNumber(r->maximum_caudal()),
             sqlNumber(r->minimum_caudal()), sqlBool(r->installed())}));
    });

    Drops().saveDrop(con, carta.getDrop(), chartId);
    return chartId;
}

}  // namespace quarvex
