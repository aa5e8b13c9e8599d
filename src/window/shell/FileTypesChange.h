// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct MainForm;
class ScanSession;

// The file-type pattern typed (every keystroke) or picked from the list: the pattern goes to
// fileFileList, then the complete file list and the parent folder line are rebuilt; with the
// recursive listing on, the recursive refresh writes every line afresh. A refused pattern is
// reported in the handler's own box and both lists keep what they showed.
void cboFileTypes_Change(MainForm &f, ScanSession &session);
void cboFileTypes_Click(MainForm &f, ScanSession &session);
