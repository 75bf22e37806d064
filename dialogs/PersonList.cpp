#include "dialogs/PersonList.h"

#include "core/MovieCollection.h"

void FillPersonList(HWND list)
{
    ::SendMessage(list, LB_RESETCONTENT, 0, 0);
    for (DWORD id = theCollection.GetNextIdOfPerson(NO_ID); id != NO_ID; id = theCollection.GetNextIdOfPerson(id)) {
        CPerson* person = theCollection.GetPersonCopy(id);
        if (person == NULL)
            continue;
        LRESULT line = ::SendMessage(list, LB_ADDSTRING, 0, LPARAM(person->m_name != NULL ? person->m_name : ""));
        theCollection.ReleasePersonCopy(&person);
        if (line >= 0)
            ::SendMessage(list, LB_SETITEMDATA, WPARAM(line), LPARAM(id));
    }
}

std::vector<DWORD> SelectedPersonIds(HWND list)
{
    std::vector<DWORD> ids;
    LRESULT count = ::SendMessage(list, LB_GETSELCOUNT, 0, 0);
    if (count <= 0)
        return ids;
    std::vector<int> lines(size_t(count), 0);
    LRESULT got = ::SendMessage(list, LB_GETSELITEMS, WPARAM(count), LPARAM(lines.data()));
    if (got <= 0)
        return ids;
    lines.resize(size_t(got < count ? got : count));
    for (int line : lines) {
        LRESULT id = ::SendMessage(list, LB_GETITEMDATA, WPARAM(line), 0);
        if (id != LB_ERR)
            ids.push_back(DWORD(id));
    }
    return ids;
}
