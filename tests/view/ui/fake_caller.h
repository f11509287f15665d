#pragma once
// A window for the search dialogs to work on, over an in-memory register, that records what
// the dialogs ask of it.

#include "recordset.h"
#include "search_caller.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QStringList>
#include <QTableView>

#include <memory>

namespace quad::test {

class FakeCaller : public SearchCaller
{
public:
    explicit FakeCaller(const QString& nome = QStringLiteral("Form_tree"))
        : nome(nome)
    {
        rebuild();
    }

    /// Twelve entries: Progressivo 1..12, Tipo "E" for odd numbers, Data_quadernolo in 2004
    /// for 1..4 and in 2005 after, Oggetto "nota n" for even numbers, "altro n" for odd ones
    /// (entry 7: "l'ente"), Annullato for 3, and a bookkeeping field SYS_NODO.
    void rebuild()
    {
        rs = std::make_shared<Recordset>();
        rs->appendField("Progressivo", adInteger);
        rs->appendField("Tipo", adVarWChar);
        rs->appendField("Data_quadernolo", adDate);
        rs->appendField("Oggetto", adVarWChar);
        rs->appendField("Annullato", adBoolean);
        rs->appendField("SYS_NODO", adVarWChar);
        rs->appendField("sysflag", adInteger);
        rs->openInMemory();
        for (int n = 1; n <= 12; ++n) {
            rs->addNew();
            EXPECT_TRUE(rs->setValue("Progressivo", n).ok());
            EXPECT_TRUE(rs->setValue("Tipo", n % 2 ? "E" : "U").ok());
            EXPECT_TRUE(rs->setValue("Data_quadernolo", n <= 4 ? QDate(2004, n, 10) : QDate(2005, n, 10)).ok());
            EXPECT_TRUE(
                rs->setValue("Oggetto", n == 7 ? QString("l'ente") : QString(n % 2 ? "altro %1" : "nota %1").arg(n))
                    .ok());
            EXPECT_TRUE(rs->setValue("Annullato", n == 3).ok());
        }
        EXPECT_TRUE(rs->updateBatch().ok());
        rs->moveFirst();
    }

    int current() const { return rs->eof() || rs->bof() ? -1 : rs->value("Progressivo").toInt(); }

    QString nome_chiamante() const override { return nome; }
    std::shared_ptr<Recordset> registro() const override { return rs; }
    QTableView* griglia() const override { return grid; }
    QString titolo_messaggi() const override { return nome == "Quadernolo" ? "Quadernolo" : "frm_tree"; }
    void imposta_pulsante_filtro(bool premuto) override
    {
        pressed = premuto;
        calls << (premuto ? "pressed" : "released");
    }
    void aggiorna_totale() override { calls << "total"; }
    DbResult rileggi_registro() override
    {
        calls << "reread";
        rs->clearFilter();
        rs->moveFirst();
        return {};
    }
    void ridisponi_griglia() override { calls << "relaid"; }
    void record_trovato() override { calls << "found"; }

    QString nome;
    std::shared_ptr<Recordset> rs;
    QTableView* grid = nullptr;
    bool pressed = false;
    QStringList calls;
};

} // namespace quad::test
