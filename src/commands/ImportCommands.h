#pragma once

#include <QStringList>

#include "directory/DirectoryList.h"
#include "commands/Dialogs.h"
#include "commands/Files.h"

namespace fichelia {

// Contacts added from files the user hands the window (dropped on it): address
// books in every format fichelia-page write reads (vCard, CSV, LDIF, our TSV),
// and directory pages, read as the open command reads them.
class ImportCommands {
public:
    ImportCommands(Dialogs& dialogs, Files& files) : m_dialogs(dialogs), m_files(files) {}

    // Adds the contacts of every file to the list, each at its sorted place,
    // then says in a report box how many were added, how many were already
    // there, how many passages were left out, and in its details, file by
    // file (ten lines at most of each kind), what was left out: the cards, rows or entries skipped, with their lines, the sites that
    // would run code, the values that have no field here, and the contacts
    // named after a stand-in. A contact whose eight fields equal those of one
    // in the list, or of one before it in the files, is not added again: the
    // box says how many were already there. One that only bears the name of
    // another is added beside it, never merged, and the box names it as a
    // namesake. All or nothing: when a file cannot be read or is no address
    // book, or the list cannot take them all, none is added and the box says
    // why. The selected entry stays selected.
    void addFiles(DirectoryList& list, const QStringList& paths);

private:
    Dialogs& m_dialogs;
    Files& m_files;
};

} // namespace fichelia
