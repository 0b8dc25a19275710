#include "documents/XlsxFillBackEnd.h"

#include "documents/CellTextFit.h"

#include "platform/automation/XlsxError.h"
#include "platform/automation/XlsxWorkbook.h"
#include "platform/automation/ZipPackage.h"
#include "platform/io/DurableFile.h"

#include <QDir>
#include <QFile>

TXlsxFillBackEnd::TXlsxFillBackEnd() : m_book(std::make_unique<XlsxWorkbook>()) {}

TXlsxFillBackEnd::~TXlsxFillBackEnd() = default;

void TXlsxFillBackEnd::Open(const QString &templatePath, const QString &workingCopy)
{
    m_book->close();
    QFile source(templatePath);
    if (!source.open(QIODevice::ReadOnly) || source.size() > ZipPackage::MaxPackageSize)
        throw XlsxError(QStringLiteral("Nu pot citi modelul %1").arg(QDir::toNativeSeparators(templatePath)).toStdString());
    DurableFile::save(workingCopy, source.readAll());
    try {
        m_book->open(workingCopy);
        m_book->activateSheet(1);
    } catch (...) {
        m_book->close();
        QFile::remove(workingCopy);
        throw;
    }
}

void TXlsxFillBackEnd::SaveAndClose()
{
    m_book->save();
    m_book->close();
}

void TXlsxFillBackEnd::Close()
{
    m_book->close();
}

int TXlsxFillBackEnd::SheetCount() const
{
    return m_book->sheetCount();
}

void TXlsxFillBackEnd::ActivateSheet(int sheet)
{
    m_book->activateSheet(sheet);
}

int TXlsxFillBackEnd::MaxRow() const
{
    return m_book->maxRow();
}

int TXlsxFillBackEnd::MaxCol() const
{
    return m_book->maxCol();
}

QVariant TXlsxFillBackEnd::Value(int row, int col) const
{
    return m_book->value(row, col);
}

void TXlsxFillBackEnd::SetValue(int row, int col, const QVariant &value)
{
    m_book->setValue(row, col, CellValue(value));
}

void TXlsxFillBackEnd::InsertRowCopies(int row, int count)
{
    m_book->insertRowCopies(row, count);
}

void TXlsxFillBackEnd::FitRowText(int row, const std::vector<int> &cols)
{
    const auto look = [&](int col, QString &text, CellTextFit::CellLook &cell) {
        const QVariant value = m_book->value(row, col);
        if (value.typeId() != QMetaType::QString)
            return false;
        const XlsxStyles::Look style = m_book->cellLook(row, col);
        text = value.toString();
        cell = {CellTextFit::innerWidthPt(int(m_book->columnWidth(col) * 256)), style.size, style.bold, style.wrap};
        return true;
    };
    const int needed = CellTextFit::neededTwips(cols, look, [&](int col) { m_book->wrapCell(row, col); });
    if (needed / 20.0 > m_book->rowHeight(row))
        m_book->setRowHeight(row, needed / 20.0);
}
