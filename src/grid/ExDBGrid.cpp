#include "grid/ExDBGrid.h"

#include "core/Erori.h"

#include <QHeaderView>

TExDBGrid::TExDBGrid(QWidget *parent) : QTableView(parent), m_model(new TExDBGridModel(this))
{
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setShowGrid(true);
    setGridStyle(Qt::SolidLine);
    setAlternatingRowColors(false);
    setWordWrap(false);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setFixedWidth(18);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    connect(m_model, &TExDBGridModel::modelReset, this, &TExDBGrid::applyWidths);
    connect(m_model, &TExDBGridModel::editFailed, this, [](const QString &message) {
        TErori::Mesaj(QStringLiteral("Eroare"), message, 1, TErori::OK);
    });
}

void TExDBGrid::setDataSet(TDataSet *dataSet)
{
    m_model->setDataSet(dataSet);
}

void TExDBGrid::setColumns(const QList<TExDBColumn> &columns)
{
    m_model->setColumns(columns);
}

void TExDBGrid::refresh()
{
    m_model->reload();
    if (m_model->rowCount() > 0)
        selectRow(0);
}

void TExDBGrid::selectRow(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    setCurrentIndex(m_model->index(row, 0));
}

void TExDBGrid::applyWidths()
{
    const QList<TExDBColumn> &columns = m_model->columns();
    for (int i = 0; i < columns.size(); ++i) {
        if (columns.at(i).width > 0)
            setColumnWidth(i, columns.at(i).width);
        else
            resizeColumnToContents(i);
    }
}

void TExDBGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (!current.isValid() || (previous.isValid() && previous.row() == current.row()))
        return;
    const int old = m_model->currentRow();
    if (m_model->moveDataSetTo(current.row())) {
        verticalHeader()->headerDataChanged(Qt::Vertical, std::min(old < 0 ? current.row() : old, current.row()),
                                            std::max(old, current.row()));
        emit rowChanged(current.row());
    }
}
