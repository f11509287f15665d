#include "open_register.h"

#include "archive_indexes.h"
#include "entry_store.h"
#include "field_text.h"
#include "register_query.h"

#include <QFileInfo>

namespace quad {

namespace {

/// The connection string of the settings database, which is not keyed.
QString settingsConnection(const QString& settingsDatabase)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + settingsDatabase
        + QStringLiteral(" ;Persist Security Info=False ;");
}

} // namespace

OpenRegister::OpenRegister(std::function<QString()> dataFolder, QObject* parent)
    : QObject(parent)
    , m_dataFolder(std::move(dataFolder))
    , m_session(std::make_unique<EntrySession>(*this))
{
    m_register.setObjectName(QStringLiteral("Adodc1"));
    m_correspondents.setObjectName(QStringLiteral("ado_mittenti"));
    m_addressBook.setObjectName(QStringLiteral("Ado_nomi"));
    // The session follows the changes made to the entry shown, and keeps what it was loaded with.
    connect(&m_register, &DataSource::recordChangeComplete, this,
            [this](ChangeReason reason, EventStatus* status) { m_session->registerChanged(reason, status); });
    connect(&m_correspondents, &DataSource::recordChangeComplete, this,
            [this](ChangeReason reason, EventStatus* status) { m_session->correspondentsChanged(reason, status); });
    connect(&m_register, &DataSource::moveComplete, this, [this] {
        m_session->rememberLoaded();
        if (m_session->p_stop())
            return;
        loadEntryCorrespondents();
        emit currentEntryChanged();
    });
}

OpenRegister::~OpenRegister()
{
    // The sources' last signals must not reach a session already gone.
    for (DataSource* source : {&m_register, &m_correspondents, &m_addressBook})
        source->disconnect(this);
}

OpenResult OpenRegister::open(const QString& archiveFile, const QString& key, const QString& settingsDatabase)
{
    OpenResult esito;
    const QFileInfo archivio(archiveFile);
    const QString connessione = ConnectionString::build(archivio.absolutePath(), archivio.fileName(), key);
    m_register.setConnectionString(connessione);
    m_register.setRecordSource(registerQuery());
    // An archive made before them gets the indexes the register's reads go through (once).
    if (const std::shared_ptr<Connection> db = DataSource::connectionFor(connessione, nullptr))
        ensureArchiveIndexes(*db);
    esito.result = m_register.Refresh();
    if (!esito.result.ok()) {
        esito.failure = OpenResult::Failure::Register;
        close();
        return esito;
    }
    m_addressBook.setConnectionString(settingsConnection(settingsDatabase));
    if (!DataSource::connectionFor(m_addressBook.ConnectionString(), &esito.result)) {
        esito.failure = OpenResult::Failure::AddressBook;
        close();
        return esito;
    }
    m_correspondents.setConnectionString(connessione);
    // The entry shown, as the archive gave it: a save writes only what the clerk changes.
    m_session->rememberLoaded();
    return esito;
}

int OpenRegister::count() const
{
    const std::shared_ptr<Recordset> rs = m_register.Recordset();
    return rs && rs->isOpen() ? rs->recordCount() : 0;
}

bool OpenRegister::onEntry() const
{
    const std::shared_ptr<Recordset> rs = m_register.Recordset();
    return rs && rs->isOpen() && !rs->bof() && !rs->eof();
}

qint64 OpenRegister::currentNumber() const
{
    return onEntry() ? m_register.Recordset()->value(0).toLongLong() : 0;
}

SessionResult OpenRegister::checkStillOn(qint64 number, const QString& what) const
{
    SessionResult r;
    if (currentNumber() == number)
        return r;
    r.outcome = SessionResult::Outcome::Failed;
    r.message = QStringLiteral("ATTENZIONE !\n\nIl registro non mostra più il quadernolo n. %1, sul quale era "
                               "iniziata l' operazione.\n\nOperazione non eseguita: %2.")
                    .arg(number)
                    .arg(what);
    return r;
}

QString OpenRegister::currentDirection() const
{
    return onEntry() ? m_register.Recordset()->value(QStringLiteral("entrata.Tipo")).toString() : QString();
}

QString OpenRegister::archiveFile() const
{
    return ConnectionString::parse(m_register.ConnectionString()).dataSource;
}

QString OpenRegister::archiveKey() const
{
    return ConnectionString::parse(m_register.ConnectionString()).password;
}

DbResult OpenRegister::loadCorrespondentRows(qint64 number)
{
    const std::shared_ptr<Recordset> rs = m_register.Recordset();
    QString tipo = QStringLiteral("U");
    if (onEntry() && rs->value(1).toString() == QLatin1String("E"))
        tipo = QStringLiteral("E");
    m_correspondents.setRecordSource(
        QStringLiteral("select * from mittenti where (mittenti.quadernolo = ? AND mittenti.tipo = ?)"), {number, tipo});
    const DbResult letto = readWithKey([this] { return m_correspondents.Refresh(); });
    emit correspondentsLoaded(letto);
    return letto;
}

void OpenRegister::loadEntryCorrespondents()
{
    if (!onEntry() || m_correspondents.ConnectionString().isEmpty())
        return;
    const QVariant numero = m_register.Recordset()->value(0);
    if (!numero.isNull())
        (void)loadCorrespondentRows(numero.toLongLong());
}

DbResult OpenRegister::setFilter(const QString& criterion)
{
    const std::shared_ptr<Recordset> rs = m_register.Recordset();
    if (!rs || !rs->isOpen())
        return DbResult::failure(DbError::NotFound, QStringLiteral("Nessun registro aperto."));
    const DbResult esito = rs->setFilter(criterion);
    if (esito.ok())
        emit filterChanged(true);
    return esito;
}

void OpenRegister::dropFilter()
{
    const std::shared_ptr<Recordset> rs = m_register.Recordset();
    if (rs && rs->isOpen() && rs->hasFilter()) {
        rs->clearFilter();
        emit filterChanged(false);
    }
}

bool OpenRegister::hasFilter() const
{
    const std::shared_ptr<Recordset> rs = m_register.Recordset();
    return rs && rs->isOpen() && rs->hasFilter();
}

DbResult OpenRegister::reread(qint64 number, bool onlyEntry)
{
    return readRows([&] { return m_session->reread(number, onlyEntry); });
}

DbResult OpenRegister::readWithKey(const std::function<DbResult()>& read)
{
    const DbResult letto = withArchiveKey(read);
    if (letto.code == DbError::WrongKey)
        emit archiveKeyRefused();
    return letto;
}

DbResult OpenRegister::readRows(const std::function<DbResult()>& read)
{
    const bool filtrato = hasFilter();
    const DbResult letto = read();
    if (filtrato && !hasFilter())
        emit filterChanged(false);
    emit rowsChanged();
    return letto;
}

TypedEntry OpenRegister::typedEntry() const
{
    const auto testo = [](const std::shared_ptr<Recordset>& rs, const char* campo) {
        const bool su = rs && rs->isOpen() && !rs->bof() && !rs->eof();
        return su ? textOfValue(rs->value(QLatin1String(campo))) : QString();
    };
    const std::shared_ptr<Recordset> registro = m_register.Recordset();
    return {testo(registro, "Data_quadernolo"), testo(registro, "Tipo_documento"), testo(registro, "Oggetto"),
            testo(m_correspondents.Recordset(), "Nominativo")};
}

Allocation OpenRegister::newEntry(const QString& direction,
                                  const std::function<std::optional<QString>()>& askStartNumber, bool requery)
{
    if (hasFilter()) {
        // The rows read again come without the filter; a read that failed leaves the register as
        // it was shown, filter included.
        const DbResult letto
            = readRows([this] { return readWithKey([this] { return m_register.Recordset()->requery(); }); });
        if (!letto.ok()) {
            Allocation nonLetto;
            nonLetto.status = AllocationStatus::RegisterUnread;
            return nonLetto;
        }
    }
    return m_session->begin(direction, askStartNumber, requery);
}

SessionResult OpenRegister::confirmEntry(const RenumberQuestion& askRenumber)
{
    return m_session->confirm(typedEntry(), askRenumber);
}

SessionResult OpenRegister::dropEntry()
{
    return m_session->drop();
}

SessionResult OpenRegister::saveEntry()
{
    return m_session->save(typedEntry());
}

SessionResult OpenRegister::moveTo(int direction)
{
    // Past the last record the register stands on the first before it moves.
    if (count() >= 1 && m_register.Recordset()->eof())
        m_register.Recordset()->moveFirst();
    SessionResult esito = m_session->saveBeforeMove(typedEntry());
    if (esito.outcome != SessionResult::Outcome::Done)
        return esito;
    // The entry moved to shows with its correspondents, read on arrival: a key changed at another
    // station is asked for first, and without it the register stays on the entry it shows.
    if (readWithKey([this] { return readArchiveOnce(); }).code == DbError::WrongKey) {
        esito.outcome = SessionResult::Outcome::Failed;
        esito.keyRefused = true;
        return esito;
    }
    m_register.muovi(direction);
    return esito;
}

SessionResult OpenRegister::leave(const std::function<bool()>& askSave)
{
    return m_session->leave(typedEntry(), askSave);
}

DbResult OpenRegister::readAgain()
{
    return readRows([this] { return readWithKey([this] { return m_register.Refresh(); }); });
}

DbResult OpenRegister::useArchiveKey(const QString& key)
{
    const QString archivio = archiveFile();
    if (archivio.isEmpty())
        return DbResult::failure(DbError::NotFound, QStringLiteral("Nessun registro aperto."));
    DbResult prova;
    // Only a key that opens the archive now: a connection kept from before another station
    // changed the key is not taken.
    const std::shared_ptr<Connection> db = Connection::shared(archivio, key.toUtf8(), &prova, true);
    if (!db)
        return prova;
    const QFileInfo file(archivio);
    const QString connessione = ConnectionString::build(file.absolutePath(), file.fileName(), key);
    for (DataSource* source : {&m_register, &m_correspondents}) {
        source->setConnectionString(connessione);
        // An entry being typed or changed stays in its recordset, which is written with the key.
        if (const std::shared_ptr<Recordset> rs = source->Recordset())
            rs->useConnection(db);
    }
    return {};
}

DbResult OpenRegister::readArchiveOnce()
{
    DbResult prova;
    (void)Connection::shared(archiveFile(), archiveKey().toUtf8(), &prova, true);
    return prova;
}

DbResult OpenRegister::proveArchiveKey()
{
    return withArchiveKey([this] { return readArchiveOnce(); });
}

bool OpenRegister::renewArchiveKey()
{
    return m_askKey && m_askKey();
}

SessionResult OpenRegister::storedSubject(qint64 number, QVariant* subject)
{
    return m_session->storedSubject(number, subject);
}

SessionResult OpenRegister::correctSubject(qint64 number, const QString& subject, const QVariant* from)
{
    return m_session->correctSubject(number, subject, from);
}

SessionResult OpenRegister::annul(const QString& reason)
{
    return m_session->annul(reason);
}

SessionResult OpenRegister::checkNotAnnulled()
{
    return m_session->checkNotAnnulled();
}

void OpenRegister::markEntryWritten()
{
    m_session->clearRecordModified();
}

DbResult OpenRegister::addCorrespondent()
{
    const std::shared_ptr<Recordset> righe = m_correspondents.Recordset();
    if (!onEntry() || !righe || !righe->isOpen())
        return DbResult::failure(DbError::NotFound, QStringLiteral("Nessun quadernolo a cui aggiungere la riga."));
    DbResult esito;
    if (!righe->bof() && !righe->eof()) {
        QVariantMap mostrata {{QStringLiteral("Indirizzo"), righe->value(QStringLiteral("Indirizzo"))},
                              {QStringLiteral("Civico"), righe->value(QStringLiteral("Civico"))}};
        if (fillMissingHouseNumber(mostrata))
            esito = righe->setValue(QStringLiteral("Civico"), mostrata.value(QStringLiteral("Civico")));
    }
    const QVariantMap nuova = newCorrespondent(
        m_register.Recordset()->value(QStringLiteral("Progressivo")).toLongLong(), currentDirection());
    righe->addNew();
    for (auto campo = nuova.cbegin(); campo != nuova.cend(); ++campo) {
        const DbResult scritto = righe->setValue(campo.key(), campo.value());
        if (!scritto.ok())
            return esito.ok() ? scritto : esito;
    }
    return esito;
}

void OpenRegister::close()
{
    for (DataSource* source : {&m_register, &m_addressBook, &m_correspondents})
        source->clear();
}

std::shared_ptr<Connection> OpenRegister::archive(DbResult* error)
{
    return DataSource::connectionFor(m_register.ConnectionString(), error);
}

std::shared_ptr<Recordset> OpenRegister::registerRows()
{
    return m_register.Recordset();
}

std::shared_ptr<Recordset> OpenRegister::correspondents()
{
    return m_correspondents.Recordset();
}

void OpenRegister::loadCorrespondents(qint64 number)
{
    (void)loadCorrespondentRows(number);
}

QString OpenRegister::dataFolder()
{
    return m_dataFolder ? m_dataFolder() : QString();
}

} // namespace quad
