#include "platform/automation/ZipPackage.h"

#include "platform/automation/XlsxError.h"
#include "platform/io/DurableFile.h"

#include <QFile>

#include <zip.h>

namespace {

// A part larger than this is refused rather than inflated (zip bombs).
constexpr zip_uint64_t kMaxPartSize = 512ull * 1024 * 1024;

// On a filled sheet of 19 MB, libzip's own default (the highest level) took
// eight times as long as zlib's default (6) for 2% fewer bytes, and level 5
// takes 40% less time than 6 for 0.7% more.
constexpr zip_uint32_t kDeflateLevel = 5;

[[noreturn]] void fail(const QString &what)
{
    throw XlsxError(what.toStdString());
}

// libzip drops the level asked for when the method is the one the part had
// before: a part that was deflated asks for the default method, which deflates.
bool setDeflateLevel(zip_t *zip, zip_uint64_t idx)
{
    zip_stat_t before;
    zip_stat_init(&before);
    const bool deflated = zip_stat_index(zip, idx, ZIP_FL_UNCHANGED, &before) == 0
                          && (before.valid & ZIP_STAT_COMP_METHOD) && before.comp_method == ZIP_CM_DEFLATE;
    return zip_set_file_compression(zip, idx, deflated ? ZIP_CM_DEFAULT : ZIP_CM_DEFLATE, kDeflateLevel) == 0;
}

} // namespace

ZipPackage::~ZipPackage()
{
    discard();
}

void ZipPackage::open(const QString &path)
{
    discard();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        fail(QStringLiteral("Nu pot deschide %1: %2").arg(path, f.errorString()));
    if (f.size() > MaxPackageSize)
        fail(QStringLiteral("Fisierul %1 este prea mare").arg(path));
    m_bytes = f.readAll();
    zip_error_t e;
    zip_error_init(&e);
    m_source = zip_source_buffer_create(m_bytes.constData(), zip_uint64_t(m_bytes.size()), 0, &e);
    if (m_source)
        m_zip = zip_open_from_source(m_source, 0, &e);
    if (!m_zip) {
        const QString msg = QStringLiteral("Nu pot deschide %1: %2").arg(path, QString::fromUtf8(zip_error_strerror(&e)));
        zip_error_fini(&e);
        discard();
        fail(msg);
    }
    zip_error_fini(&e);
    // Kept for commit, where the archive is closed and the source holds what it wrote.
    zip_source_keep(m_source);
    m_path = path;
}

bool ZipPackage::contains(const QString &name) const
{
    return m_changed.contains(name) || (m_zip && zip_name_locate(m_zip, name.toUtf8().constData(), 0) >= 0);
}

QByteArray ZipPackage::read(const QString &name) const
{
    if (m_changed.contains(name))
        return m_changed.value(name);
    if (!m_zip)
        fail(QStringLiteral("Nu este deschis niciun fisier"));
    const QByteArray n = name.toUtf8();
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat(m_zip, n.constData(), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
        fail(QStringLiteral("Lipseste partea %1 din %2").arg(name, m_path));
    if (st.size > kMaxPartSize)
        fail(QStringLiteral("Partea %1 din %2 este prea mare").arg(name, m_path));
    zip_file_t *f = zip_fopen(m_zip, n.constData(), 0);
    if (!f)
        fail(QStringLiteral("Nu pot citi partea %1 din %2").arg(name, m_path));
    QByteArray data(static_cast<qsizetype>(st.size), Qt::Uninitialized);
    const zip_int64_t got = st.size ? zip_fread(f, data.data(), st.size) : 0;
    zip_fclose(f);
    if (got < 0 || static_cast<zip_uint64_t>(got) != st.size)
        fail(QStringLiteral("Partea %1 din %2 este deteriorata").arg(name, m_path));
    return data;
}

void ZipPackage::replace(const QString &name, const QByteArray &bytes)
{
    m_changed.insert(name, bytes);
}

void ZipPackage::remove(const QString &name)
{
    m_changed.remove(name);
    if (!m_zip)
        return;
    const zip_int64_t idx = zip_name_locate(m_zip, name.toUtf8().constData(), 0);
    if (idx >= 0)
        zip_delete(m_zip, static_cast<zip_uint64_t>(idx));
}

void ZipPackage::commit()
{
    if (!m_zip)
        fail(QStringLiteral("Nu este deschis niciun fisier"));
    for (auto it = m_changed.cbegin(); it != m_changed.cend(); ++it) {
        zip_source_t *src = zip_source_buffer(m_zip, it.value().constData(), it.value().size(), 0);
        const zip_int64_t idx = src ? zip_file_add(m_zip, it.key().toUtf8().constData(), src, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) : -1;
        if (idx < 0 || !setDeflateLevel(m_zip, zip_uint64_t(idx))) {
            if (src && idx < 0)
                zip_source_free(src);
            fail(QStringLiteral("Nu pot scrie %1: %2").arg(m_path, QString::fromUtf8(zip_strerror(m_zip))));
        }
    }
    if (zip_close(m_zip) != 0) {
        const QString msg = QStringLiteral("Nu pot scrie %1: %2").arg(m_path, QString::fromUtf8(zip_strerror(m_zip)));
        discard();
        fail(msg);
    }
    m_zip = nullptr;
    const QByteArray bytes = rebuilt();
    discard();
    DurableFile::save(m_path, bytes);
}

QByteArray ZipPackage::rebuilt()
{
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_source_stat(m_source, &st) < 0 || !(st.valid & ZIP_STAT_SIZE) || zip_source_open(m_source) < 0) {
        discard();
        fail(QStringLiteral("Nu pot scrie %1").arg(m_path));
    }
    QByteArray bytes(qsizetype(st.size), Qt::Uninitialized);
    const zip_int64_t got = zip_source_read(m_source, bytes.data(), st.size);
    zip_source_close(m_source);
    if (got < 0 || zip_uint64_t(got) != st.size) {
        discard();
        fail(QStringLiteral("Nu pot scrie %1").arg(m_path));
    }
    return bytes;
}

void ZipPackage::discard()
{
    if (m_zip)
        zip_discard(m_zip);
    m_zip = nullptr;
    if (m_source)
        zip_source_free(m_source);
    m_source = nullptr;
    m_changed.clear();
    m_bytes.clear();
}
