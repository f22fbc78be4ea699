// A settings session on the database. While the dialog is open "TarvixDb.dat" is a working copy
// the pilot has not accepted (its marker out, deleted records still in it, edits written in
// place), and "TarvixDb.bak" is the only copy of the database last accepted. A mark on the disk
// says so for as long as that lasts, so that an opening after a crash, a power cut or a killed
// simulator puts the accepted database back instead of taking the working copy for it:
//
//   no mark          the database is the accepted one
//   session mark     taken at the opening, after the backup and before the first write in place;
//                    the database is a working copy and the backup the accepted one
//   saving mark      the session mark renamed once OK's new database is whole in the scratch
//                    file: while the scratch file is there the replace has not happened (the
//                    backup is still the accepted one), once it is gone the new one is in place
//
// The mark's text says whether a database existed as the session began: if not, putting things
// back means removing the database the session made.
#pragma once

// What the opening found of a session that did not end.
enum class LastSession {
    ended,    // nothing was left unfinished, or OK had completed
    undone,   // the working copy was replaced by the accepted database (or removed)
    keptAsIs, // the backup was gone: the working copy stays the database, its marker lost
    stuck,    // it could not be put back yet (a file held): the dialog must not open
};

// Run as the dialog opens, before anything else reads or copies the database.
LastSession settleLastSession();

// The backup taken and the mark left, both flushed; false (nothing changed, no mark left) when
// either cannot be made. databaseExists says whether "TarvixDb.dat" is there to back up.
bool beginSession(bool databaseExists);

// OK's new database, whole and flushed in the scratch file, takes the old one's place; the
// session ends with it. False, with the session still open and the old working copy in place,
// when the replace is refused.
bool acceptNewDatabase();
// A save that stopped before its replace: the scratch file goes (with the mark back in the
// session state first).
void discardNewDatabase();

// What Cancel does: the accepted database back (or the session's own database removed), then
// the mark removed. False when it could not be put back: the mark then stays, so that the next
// opening puts it back.
bool undoSession();
