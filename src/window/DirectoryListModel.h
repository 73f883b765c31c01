#pragma once

#include <QAbstractListModel>

#include "directory/DirectoryList.h"

namespace fichelia {

// The directory list as the list box shows it: one row per entry, the entry's
// name as its text, rows 13 pixels high. Follows every change of the list.
class DirectoryListModel final : public QAbstractListModel, private DirectoryObserver {
    Q_OBJECT

public:
    static constexpr int kRowHeight = 13;

    explicit DirectoryListModel(DirectoryList& list, QObject* parent = nullptr);
    ~DirectoryListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    DirectoryList& list() const { return m_list; }

    // True while the list is taking or losing entries: a view that moves its
    // own selection meanwhile is not following the user.
    bool changing() const { return m_changing; }

signals:
    // The list's selected row, set or cleared (-1).
    void selectedRowChanged(int row);

private:
    void aboutToInsert(int position) override;
    void inserted(int position) override;
    void aboutToRemove(int position) override;
    void removed(int position) override;
    void aboutToReset() override;
    void reset() override;
    void selectionChanged(int position) override;

    DirectoryList& m_list;
    bool m_changing = false;
};

} // namespace fichelia
