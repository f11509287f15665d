#pragma once
// Entries written straight into an archive for the print tests.

#include "temp_program.h"

#include "database.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <gtest/gtest.h>

namespace quad::test {

struct SeedCorrespondent
{
    SeedCorrespondent(const QString& n, const QVariant& ind = {}, const QVariant& civ = {}, const QVariant& cit = {},
                      const QVariant& pr = {}, const QVariant& cp = {}, const QVariant& cod = {},
                      const QVariant& nasc = {})
        : nome(n)
        , indirizzo(ind)
        , civico(civ)
        , citta(cit)
        , prov(pr)
        , cap(cp)
        , codice(cod)
        , nascita(nasc)
    {
    }
    QString nome;
    QVariant indirizzo, civico, citta, prov, cap, codice, nascita;
};

struct SeedEntry
{
    int numero = 0;
    QString tipo = QStringLiteral("E");
    QDate data;
    QString oggetto;
    bool annullato = false;
    QList<SeedCorrespondent> corrispondenti;
    QVariant note, quad_rif, data_quad_rif, nota_annulla;
    QString tipo_documento = QStringLiteral("Lettera");
    int numero_documenti = 1;
    QString ufficio = QStringLiteral("Ragioneria");
    QString orario = QStringLiteral("09:30:00");
};

/// Writes the entries in one transaction.
inline void scriviSchede(const QString& archive, const QList<SeedEntry>& entries)
{
    DbResult err;
    auto db = Connection::open(archive, QByteArray(kPassword), &err);
    ASSERT_TRUE(db) << err.message.toStdString();
    Transaction t(*db);
    for (const SeedEntry& e : entries) {
        const DbResult r = db->exec(
            QStringLiteral("INSERT INTO entrata (Progressivo, Tipo, Data_quadernolo, Anno, Tipo_documento, "
                           "Numero_documenti, Oggetto, Orario, Annullato, Nota_annulla, Note, Quad_rif, Data_quad_rif, "
                           "Ufficio_competente, Ufficio_conoscenza) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
            {e.numero, e.tipo, e.data, e.data.year(), e.tipo_documento, e.numero_documenti, e.oggetto, e.orario,
             e.annullato ? -1 : 0, e.nota_annulla, e.note, e.quad_rif, e.data_quad_rif, e.ufficio,
             QStringLiteral("Segreteria")});
        ASSERT_TRUE(r.ok()) << r.message.toStdString();
        for (const SeedCorrespondent& c : e.corrispondenti) {
            const DbResult m = db->exec(
                QStringLiteral("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo, Indirizzo, "
                               "Civico, Citta, Prov, Cap, P_iva_CF, Data_nascita) "
                               "VALUES (?,?,?,?,?,?,?,?,?,?)"),
                {e.numero, e.tipo, c.nome, c.indirizzo, c.civico, c.citta, c.prov, c.cap, c.codice, c.nascita});
            ASSERT_TRUE(m.ok()) << m.message.toStdString();
        }
    }
    ASSERT_TRUE(t.commit().ok());
}

/// A simple entry with one correspondent named after its number.
inline SeedEntry scheda(int numero, const QString& tipo, const QDate& data)
{
    SeedEntry e;
    e.numero = numero;
    e.tipo = tipo;
    e.data = data;
    e.oggetto = QStringLiteral("Oggetto%1").arg(numero);
    e.corrispondenti = {{QStringLiteral("Nome%1").arg(numero)}};
    return e;
}

} // namespace quad::test
