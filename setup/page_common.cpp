// Pieces that the information page, the details page and the progress dialog have in common.
#include "page_common.h"

#include "table_string.h"
#include "../resources/resource.h"

#include <stdlib.h>
#include <string.h>

void SetTitleFont(HWND dialog, int height)
{
    HFONT font = CreateFontA(height, 0, 0, 0, FW_SEMIBOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                             OUT_CHARACTER_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY,
                             FF_SWISS | DEFAULT_PITCH, "MS Sans Serif");
    if (font)
        SendDlgItemMessageA(dialog, IDC_TITLE, WM_SETFONT, (WPARAM)font, TRUE);
}

void ReleaseTitleFont(HWND dialog)
{
    HFONT font = (HFONT)SendDlgItemMessageA(dialog, IDC_TITLE, WM_GETFONT, 0, 0);
    SendDlgItemMessageA(dialog, IDC_TITLE, WM_SETFONT, 0, FALSE);
    // Without a title font of its own the control holds the dialog's font, which is not ours.
    if (font && font != (HFONT)SendMessageA(dialog, WM_GETFONT, 0, 0))
        DeleteObject(font);
}

void SetHeaderLine(HWND dialog)
{
    const char *header = GetTableString(IDS_HEADER);
    if (!header)
        header = "";
    size_t length = strlen(header);
    char *line = (char *)malloc(length + 2);
    if (!line)
        return;
    memcpy(line, header, length);
    line[length] = '\n';
    line[length + 1] = 0;
    SetDlgItemTextA(dialog, IDC_HEADER, line);
    free(line);
}

bool ConfirmExit(HWND page)
{
    int answer = MessageBoxA(page,
                             "The installation has not begun. If you exit now, you will not be "
                             "able to use the models provided in this package. Do you really "
                             "wish to exit the installation?",
                             "Really Quit?", MB_YESNO | MB_ICONEXCLAMATION);
    return answer != IDNO;
}
