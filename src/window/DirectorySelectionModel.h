#pragma once

#include <QItemSelectionModel>

#include "window/DirectoryListModel.h"

namespace fichelia {

// The list box's selection, a picture of the directory list's: the list owns
// the selected entry and this shows it. What the user does in the list box
// reaches this as requests; a request that leaves a row selected is passed to
// the list (and told, so that the select command runs), and every other one is
// dropped: a click below the names, Ctrl+click or Ctrl+Space on the selected
// name, and the moves the view makes on its own while rows come and go. So the
// user can change the selection but never clear it.
class DirectorySelectionModel final : public QItemSelectionModel {
    Q_OBJECT

public:
    DirectorySelectionModel(DirectoryListModel& model, QObject* parent);

    void select(const QModelIndex& index, QItemSelectionModel::SelectionFlags command) override;
    void select(const QItemSelection& selection, QItemSelectionModel::SelectionFlags command) override;

signals:
    // The user selected this row (again, perhaps).
    void userSelected(int row);

private:
    void show(int row);

    DirectoryListModel& m_model;
};

} // namespace fichelia
