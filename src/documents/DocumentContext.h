#pragma once

class QWidget;
class TDataSet;
class TQuery;
class TRTFReplace;

// What the request documents use of the request list form: its list query
// (whose current row is the chosen request), its work query, its RTF filler
// and the form itself as the parent of the dialogs.
struct DocumentContext
{
    TDataSet *C1 = nullptr;
    TQuery *Sx = nullptr;
    TRTFReplace *RTF1 = nullptr;
    QWidget *form = nullptr;
};
