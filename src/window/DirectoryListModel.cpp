#include "window/DirectoryListModel.h"

#include <QSize>

namespace fichelia {

DirectoryListModel::DirectoryListModel(DirectoryList& list, QObject* parent) : QAbstractListModel(parent), m_list(list) {
    m_list.setObserver(this);
}

DirectoryListModel::~DirectoryListModel() { m_list.setObserver(nullptr); }

int DirectoryListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_list.count(); }

QVariant DirectoryListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_list.count()) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(m_list.recordAt(index.row()).name);
    case Qt::SizeHintRole:
        return QSize(0, kRowHeight);
    default:
        return {};
    }
}

void DirectoryListModel::aboutToInsert(int position) {
    m_changing = true;
    beginInsertRows({}, position, position);
}

void DirectoryListModel::inserted(int) {
    endInsertRows();
    m_changing = false;
}

void DirectoryListModel::aboutToRemove(int position) {
    m_changing = true;
    beginRemoveRows({}, position, position);
}

void DirectoryListModel::removed(int) {
    endRemoveRows();
    m_changing = false;
}

void DirectoryListModel::aboutToReset() {
    m_changing = true;
    beginResetModel();
}

void DirectoryListModel::reset() {
    endResetModel();
    m_changing = false;
}

void DirectoryListModel::selectionChanged(int position) { emit selectedRowChanged(position); }

} // namespace fichelia
