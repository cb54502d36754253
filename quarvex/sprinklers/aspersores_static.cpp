// SPDX-License-Identifier: GPL-3.0-or-later
#include <quarvex/quarvex.h>

namespace quarvex {
namespace {

constexpr const char* kNozzleColumns =
    "b.ID_Boquillas, b.denominacion, b.a, b.b,b.pmin, b.pmax,b.qmin, b.qmax";
constexpr const char* kModelColumns =
    "modelos.id_modelo as modelos_id_modelo,modelos.id_marca as modelos_id_marca,"
    "modelos.modelo as modelos_modelo";
constexpr const char* kBrandColumns = "marca.id_marca as marca_id_marca, marca.nome as marca_nome";

bool isBlank(const std::string& s) {
    return s.find_first_not_of(" \t\r\n") == std::string::npos;
}

}  // namespace

const std::string& AspersoresStatic::catalogueColumns() {
    static const std::string columns =
        std::string(kNozzleColumns) + "," + kModelColumns + "," + kBrandColumns;
    return columns;
}

std::string AspersoresStatic::catalogueJoins() {
    return joinTables({"Boquillas AS b", "Modelos ON b.id_modelo=modelos.id_modelo",
                       "Marca ON modelos.id_marca=marca.id_marca"});
}

std::string AspersoresStatic::selectByMarcaSQL(const std::string& marca) {
    return "SELECT " + catalogueColumns() + " FROM " + catalogueJoins() + " WHERE " +
           bindParameters("marca.nome='?'", {sqlEscape(marca)}) + " ;";
}

std::string AspersoresStatic::selectByModeloSQL(const std::string& modelo) {
    return "SELECT " + catalogueColumns() + " FROM " + catalogueJoins() + " WHERE " +
           bindParameters("modelos.modelo='?'", {sqlEscape(modelo)}) + " ;";
}

std::shared_ptr<Aspersor> AspersoresStatic::fromRow(const RecordSet& rs) const {
    modelo m;
    m.id = static_cast<int>(nullToZero(rs.Field("modelos_id_modelo")));
    m.nome = nullToText(rs.Field("modelos_modelo"));
    m.marca_id = static_cast<int>(nullToZero(rs.Field("modelos_id_marca")));
    m.marca.id = static_cast<int>(nullToZero(rs.Field("marca_id_marca")));
    m.marca.nome = nullToText(rs.Field("marca_nome"));
    auto asp = newAspersor(nullToText(rs.Field("denominacion")), nullToZero(rs.Field("a")),
                           nullToZero(rs.Field("b")), nullToZero(rs.Field("pmin")),
                           nullToZero(rs.Field("pmax")), nullToZero(rs.Field("qmin")),
                           nullToZero(rs.Field("qmax")), m);
    asp->setId(static_cast<int>(nullToZero(rs.Field("ID_Boquillas"))));
    return asp;
}

AspersorList AspersoresStatic::query(const std::string& connectionString,
                                     const std::string& sql) const {
    Connection con(connectionString);
    con.Open();
    RecordSet rs = con.Execute(sql);
    AspersorList out;
    while (!rs.IsEOF()) {
        out.Add(fromRow(rs));
        rs.MoveNext();
    }
    con.Close();
    return out;
}

AspersorList AspersoresStatic::find(const std::string& connectionString) const {
    return query(connectionString, "SELECT " + catalogueColumns() + " FROM " + catalogueJoins());
}

AspersorList AspersoresStatic::find_by_marca(const std::string& connectionString,
                                             const std::string& marca) const {
    return query(connectionString, selectByMarcaSQL(marca));
}

AspersorList AspersoresStatic::find_by_modelo(const std::string& connectionString,
                                              const std::string& modelo) const {
    return query(connectionString, selectByModeloSQL(modelo));
}

std::shared_ptr<Aspersor> AspersoresStatic::newAspersor(const std::string& boquilla, double a,
                                                        double b, double pmin, double pmax,
                                                        double qmin, double qmax,
                                                        const modelo& aModelo) const {
    // Written as "not > 0" so that NaN is refused as well.
    if (isBlank(boquilla) || !(a > 0) || !(b > 0) || !(pmin > 0) || !(pmax > 0) || !(qmin > 0) ||
        !(qmax > 0)) {
        Exceptions::Throw(errc::MissingAsperorDataException);
    }
    std::shared_ptr<Aspersor> asp(new Aspersor());
    asp->init(boquilla, a, b, pmin, pmax, qmin, qmax, aModelo);
    return asp;
}

AspersorList AspersoresStatic::getPossibleAspersores(const AspersorList& availlableAspersores,
                                                     double pressao, double caudal,
                                                     double variacao) const {
    AspersorList out;
    availlableAspersores.ForEach([&](const std::shared_ptr<Aspersor>& a) {
        if (a->flowWithin(pressao, caudal, variacao)) {
            out.Add(a);
        }
    });
    return out;
}

std::shared_ptr<Aspersor> AspersoresStatic::getBestMatch(const AspersorList& availlableAspersores,
                                                         double pressao, double caudal,
                                                         double variacaoMaxima) const {
    const AspersorList candidates =
        getPossibleAspersores(availlableAspersores, pressao, caudal, variacaoMaxima);
    std::shared_ptr<Aspersor> best;
    double limit = variacaoMaxima;
    candidates.ForEach([&](const std::shared_ptr<Aspersor>& a) {
        const double d = a->variacaoCaudal(pressao, caudal);
        if (d <= limit) {
            best = a;
            limit = d;
        }
    });
    return best;
}

std::shared_ptr<Aspersor> AspersoresStatic::NullAspersor() {
    return null_;
}

void AspersoresStatic::save(const std::string& connectionString, Aspersor& anAspersor) const {
    // Identifiers are written back only once the transaction has committed, so a failed
    // save leaves the caller's nozzle as it was, like the database.
    modelo m = anAspersor.modelo();
    Connection con(connectionString);
    con.Open();
    inTransaction(con, [&] {
        if (isBlank(m.marca.nome)) {
            Exceptions::Throw(errc::MarcaMissingNameException);
        }
        if (m.marca.id <= 0) {
            con.Execute(
                bindParameters("INSERT INTO marca (nome) VALUES (?);", {sqlQuote(m.marca.nome)}));
            m.marca.id = lastIdentity(con);
        }
        if (isBlank(m.nome)) {
            Exceptions::Throw(errc::ModeloMissingNameException);
        }
        if (m.marca.id <= 0) {
            Exceptions::Throw(errc::MarcaIsNewRecordException);
        }
        if (m.id <= 0 || m.marca_id != m.marca.id) {
            con.Execute(bindParameters("INSERT INTO Modelos (Modelo,ID_Marca) VALUES (?,?);",
                                       {sqlQuote(m.nome), std::to_string(m.marca.id)}));
            m.id = lastIdentity(con);
            m.marca_id = m.marca.id;
        }
        con.Execute(bindParameters(
            "INSERT INTO Boquillas (denominacion,pmin,pmax,a,b,qmin,qmax,id_modelo)VALUES "
            "(?,?,?,?,?,?,?,?);",
            {sqlQuote(anAspersor.nome()), sqlNumber(anAspersor.pmin()),
             sqlNumber(anAspersor.pmax()), sqlNumber(anAspersor.aValue()),
             sqlNumber(anAspersor.bValue()), sqlNumber(anAspersor.qmin()),
             sqlNumber(anAspersor.qmax()), std::to_string(m.id)}));
    });
    con.Close();
    anAspersor.setModelo(m);
}

Collection<marca> AspersoresStatic::MarcasAll(const std::string& connectionString) const {
    Connection con(connectionString);
    con.Open();
    RecordSet rs = con.Execute(std::string("SELECT ") + kBrandColumns + " FROM marca");
    Collection<marca> out;
    while (!rs.IsEOF()) {
        marca b;
        b.id = static_cast<int>(nullToZero(rs.Field("marca_id_marca")));
        b.nome = nullToText(rs.Field("marca_nome"));
        out.Add(b);
        rs.MoveNext();
    }
    con.Close();
    return out;
}

Collection<modelo> AspersoresStatic::ModelosAll(const std::string& connectionString) const {
    Connection con(connectionString);
    con.Open();
    RecordSet rs =
        con.Execute(std::string("SELECT ") + kModelColumns + "," + kBrandColumns + " FROM " +
                    joinTables({"Modelos", "Marca ON modelos.id_marca=marca.id_marca"}));
    Collection<modelo> out;
    while (!rs.IsEOF()) {
        modelo m;
        m.id = static_cast<int>(nullToZero(rs.Field("modelos_id_modelo")));
        m.marca_id = static_cast<int>(nullToZero(rs.Field("modelos_id_marca")));
        m.nome = nullToText(rs.Field("modelos_modelo"));
        m.marca.id = static_cast<int>(nullToZero(rs.Field("marca_id_marca")));
        m.marca.nome = nullToText(rs.Field("marca_nome"));
        out.Add(m);
        rs.MoveNext();
    }
    con.Close();
    return out;
}

}  // namespace quarvex
