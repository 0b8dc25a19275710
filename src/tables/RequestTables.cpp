#include "tables/RequestTables.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

DbfField text(const char *name, int width) { return {QString::fromLatin1(name), 'C', width, 0, 0}; }
DbfField decimal(const char *name, int width, int decimals = 0)
{
    return {QString::fromLatin1(name), 'N', width, decimals, 0};
}
DbfField date(const char *name) { return {QString::fromLatin1(name), 'D', 8, 0, 0}; }
DbfField money(const char *name) { return decimal(name, 10, 2); }
// Flags hold "X" or blank.
DbfField flag(const char *name) { return text(name, 1); }

// While a restore's aside folder holds a table, an empty table made in its
// place would hide its records. Only real folders are ours, as start-up
// recovery sees them: a link under the name is not.
void refuseWhileSetAside(const QDir &dir, const QString &name)
{
    for (const QString &aside : dir.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks))
        if (RequestTables::isAsideFolderName(aside) && QFileInfo::exists(Dbf::resolve(dir.filePath(aside + u'/' + name))))
            throw DbfError(QStringLiteral("Tabela %1 lipseste din %2, dar se afla in %3, unde a mutat-o o restaurare "
                                          "intrerupta. Nu fac o tabela goala in locul ei.")
                               .arg(name, QDir::toNativeSeparators(dir.path()), aside));
}

} // namespace

QList<DbfField> RequestTables::cereriFields()
{
    return {
        decimal("NRCRT", 12),   // as the members' NRCRT that points at it
        decimal("LUNACRT", 6),  // month codes: year 9999 gives 119999
        decimal("LUNADEC", 6),
        text("TITULAR", 32),    // as the members' TITULAR
        text("CNP", 13),
        // Locality and address: the reports join them as LOCALIT + " " + ADRESA
        // into 121 characters; 60 each also holds an address of 60 characters.
        text("LOCALIT", 60),
        text("ADRESA", 60),
        decimal("NR_MEMBRI", 6), // as the agency's cumulative table copies it
        money("TVENIT"),
        money("VENITM"),
        decimal("COPII14", 6),   // part of NR_MEMBRI: the same width
        decimal("COPII18", 6),
        text("STCIV", 2),        // "C", "N", "UC", "DF", "V", "D"
        text("SITSCOL", 2),      // "FS", "G", "M", "S"
        text("SITPROF", 25),     // the occupation as listed; "indemnizatie handicap" is 21
        decimal("NRCAM", 2),     // rooms: a small count
        text("ASIG", 2),         // insurance code: room for a two-letter code
        flag("CUAJUT"),
        money("CUANTUM"),
        decimal("NR_LUNI", 2),   // months of aid, 1 to 5
        money("TOTAL"),
        decimal("NR_CERE", 10),  // as the inquiry table copies it
        date("DATACERE"),
        // Text, since the reports join it with "/" and the date; 16 as the
        // disposition-number table copies it (widened to 16 + 1 + 10 there).
        text("NR_DISP", 16),
        date("DATADISP"),
        decimal("NR_REF", 10),   // numbered from an entry of 10 digits
        text("STATUT", 10),      // "APROBAT", "MODIFICAT", "INCETAT", "RESPINS"
        text("MOTIVR", 120),     // free text of a reason, as long as a log action
        flag("CUMODIF"),
        text("MODPLATA", 13),    // "OP", "CEC" or "MANDAT POSTAL"
        text("CONT", 24),        // a Romanian IBAN
        text("BANCA", 50),       // a bank's name
        flag("L416"),
        flag("ASF"),
        money("SUMAL"),
        // Supplement blocks. Holders as TITULAR; suppliers 60, as the supplier
        // table copies them; client codes and consumption points are the
        // suppliers' own codes, given room beyond their usual 10 to 20.
        text("TITG", 32), text("CNPG", 13), text("FURNG", 60), text("CODCLG", 30), text("PODG", 30), money("SUMAG"),
        text("TITE", 32), text("CNPE", 13), text("FURNE", 60), text("CODCLE", 30), text("PODE", 30), money("SUMAE"),
        text("TITT", 32), text("CNPT", 13), text("FURNT", 60), text("CODCLT", 30), money("SUMAT"),
    };
}

QList<DbfField> RequestTables::oameniFields()
{
    return {decimal("NROM", 10), decimal("NRCRT", 12), text("TITULAR", 32),
            text("CNP", 13),     money("VENIT"),       text("CALITATE", 12)};
}

QList<DbfField> RequestTables::logFields()
{
    return {decimal("IDLOG", 10), date("DATAL"), text("ORA", 12), text("ACTIUNE", 120), text("UTILIZATOR", 16)};
}

QStringList RequestTables::fileNames() { return {Cereri, Oameni, Log}; }

QList<DbfField> RequestTables::fieldsOf(const QString &fileName)
{
    if (fileName.compare(Cereri, Qt::CaseInsensitive) == 0)
        return cereriFields();
    if (fileName.compare(Oameni, Qt::CaseInsensitive) == 0)
        return oameniFields();
    if (fileName.compare(Log, Qt::CaseInsensitive) == 0)
        return logFields();
    return {};
}

QStringList RequestTables::createMissing(const QString &folder)
{
    QStringList created;
    const QDir dir(folder);
    for (const QString &name : fileNames()) {
        const QString path = dir.filePath(name);
        if (QFileInfo::exists(Dbf::resolve(path)))
            continue;
        refuseWhileSetAside(dir, name);
        Dbf::create(path, fieldsOf(name)).close();
        created.append(path);
    }
    return created;
}

QString RequestTables::asideFolderName(int n)
{
    return QStringLiteral(".restore-%1").arg(n);
}

bool RequestTables::isAsideFolderName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^\\.restore-\\d{1,3}$"));
    return pattern.match(name).hasMatch();
}
