#pragma once

#include <QString>
#include <QVariant>

#include <functional>

class QIODevice;

// The formats a save can write, in the order a save walks them.
enum class TXlsSaveFormat { snXLS, snCSVComma, snCSVSemiColon, snTabDelimited };

// Bit set of TXlsSaveFormat values.
class TXlsSaveFormats
{
public:
    TXlsSaveFormats() = default;
    TXlsSaveFormats(std::initializer_list<TXlsSaveFormat> formats)
    {
        for (auto f : formats)
            Include(f);
    }
    void Include(TXlsSaveFormat f) { FBits |= Bit(f); }
    void Exclude(TXlsSaveFormat f) { FBits &= ~Bit(f); }
    bool Contains(TXlsSaveFormat f) const { return (FBits & Bit(f)) != 0; }
    bool operator==(const TXlsSaveFormats &) const = default;

private:
    static unsigned Bit(TXlsSaveFormat f) { return 1u << static_cast<unsigned>(f); }
    unsigned FBits = 0;
};

enum class TXlsSheetVisible { sv_Visible, sv_Hidden, sv_VeryHidden };

// Lets a caller choose the file name for each format of a multi-format save.
using TGetFileNameEvent = std::function<void(TXlsSaveFormat format, QString &fileName)>;
// Tells a caller which format is being written.
using TOnSaveFormatEvent = std::function<void(TXlsSaveFormat format)>;

// The file interface the facade drives. Rows, columns and sheets are 1-based here.
class TExcelFile
{
public:
    virtual ~TExcelFile() = default;

    virtual void Connect() = 0;
    virtual void Disconnect() = 0;

    virtual void OpenFile(const QString &fileName) = 0;
    virtual void OpenStream(QIODevice &stream) = 0;
    virtual void NewFile(int sheetCount) = 0;
    virtual void CloseFile() = 0;

    virtual void InsertAndCopySheets(int copyFrom, int insertBefore, int count) = 0;
    virtual void DeleteSheets(int count) = 0;
    virtual int SheetCount() const = 0;
    virtual void SelectSheet(int sheet) = 0;
    virtual int GetActiveSheet() const = 0;
    virtual void SetActiveSheet(int sheet) = 0;
    virtual QString GetActiveSheetName() const = 0;
    virtual void SetActiveSheetName(const QString &name) = 0;
    virtual QString GetActiveSheetCodeName() const = 0;
    virtual void SetActiveSheetCodeName(const QString &name) = 0;
    virtual TXlsSheetVisible GetActiveSheetVisible() const = 0;
    virtual void SetActiveSheetVisible(TXlsSheetVisible value) = 0;

    virtual void Save(const QString &fileName, const TGetFileNameEvent &onGetFileName = {},
                      const TOnSaveFormatEvent &onSaveFormat = {}) = 0;
    virtual void Save(QIODevice &stream) = 0;

    virtual void InsertAndCopyRows(int firstRow, int lastRow, int destRow, int count,
                                   bool onlyFormulas) = 0;
    virtual void InsertAndCopyCols(int firstCol, int lastCol, int destCol, int count,
                                   bool onlyFormulas) = 0;
    virtual void DeleteRows(int row, int count) = 0;
    virtual void DeleteCols(int col, int count) = 0;

    // Empty QVariant, double, QString or bool.
    virtual QVariant GetCellValue(int row, int col) const = 0;
    virtual void SetCellValue(int row, int col, const QVariant &value) = 0;
    virtual int MaxRow() const = 0;
    virtual int MaxCol() const = 0;
};
