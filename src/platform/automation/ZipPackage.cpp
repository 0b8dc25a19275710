#include "platform/automation/ZipPackage.h"

#include "platform/automation/XlsxError.h"

#include <QFile>

#include <zip.h>

namespace {

// A part larger than this is refused rather than inflated (zip bombs).
constexpr zip_uint64_t kMaxPartSize = 512ull * 1024 * 1024;

[[noreturn]] void fail(const QString &what)
{
    throw XlsxError(what.toStdString());
}

} // namespace

ZipPackage::~ZipPackage()
{
    discard();
}

void ZipPackage::open(const QString &path)
{
    discard();
    int err = 0;
    m_zip = zip_open(QFile::encodeName(path).constData(), 0, &err);
    if (!m_zip) {
        zip_error_t e;
        zip_error_init_with_code(&e, err);
        const QString msg = QStringLiteral("Nu pot deschide %1: %2").arg(path, QString::fromUtf8(zip_error_strerror(&e)));
        zip_error_fini(&e);
        fail(msg);
    }
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
        if (!src || zip_file_add(m_zip, it.key().toUtf8().constData(), src, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
            if (src)
                zip_source_free(src);
            fail(QStringLiteral("Nu pot scrie %1: %2").arg(m_path, QString::fromUtf8(zip_strerror(m_zip))));
        }
    }
    if (zip_close(m_zip) != 0) {
        const QString msg = QStringLiteral("Nu pot scrie %1: %2").arg(m_path, QString::fromUtf8(zip_strerror(m_zip)));
        zip_discard(m_zip);
        m_zip = nullptr;
        m_changed.clear();
        fail(msg);
    }
    m_zip = nullptr;
    m_changed.clear();
}

void ZipPackage::discard()
{
    if (m_zip)
        zip_discard(m_zip);
    m_zip = nullptr;
    m_changed.clear();
}
