#include "window/DirectorySelectionModel.h"

namespace fichelia {

DirectorySelectionModel::DirectorySelectionModel(DirectoryListModel& model, QObject* parent)
    : QItemSelectionModel(&model, parent), m_model(model) {
    connect(&model, &DirectoryListModel::selectedRowChanged, this, &DirectorySelectionModel::show);
}

void DirectorySelectionModel::select(const QModelIndex& index, QItemSelectionModel::SelectionFlags command) {
    select(QItemSelection(index, index), command);
}

void DirectorySelectionModel::select(const QItemSelection& selection, QItemSelectionModel::SelectionFlags command) {
    const QModelIndexList indexes = selection.indexes();
    if (m_model.changing() || indexes.isEmpty() || !(command & (Select | Toggle))) {
        return;
    }
    const int row = indexes.constFirst().row();
    DirectoryList& list = m_model.list();
    if ((command & Toggle) && row == list.selectedPosition()) {
        return;
    }
    list.select(row);
    emit userSelected(row);
}

// Draws the list's selection. The base class's own functions change the view's
// picture without coming back through select() above.
void DirectorySelectionModel::show(int row) {
    if (row < 0) {
        QItemSelectionModel::select(QItemSelection(), Clear);
        return;
    }
    const QModelIndex index = m_model.index(row);
    QItemSelectionModel::setCurrentIndex(index, NoUpdate);
    QItemSelectionModel::select(QItemSelection(index, index), ClearAndSelect);
}

} // namespace fichelia
