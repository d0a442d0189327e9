// One reader of the install log's lines for the installer and the uninstaller. Blanks, tabs
// and carriage returns around names and values do not count, as for the profile functions.
#include "log_lines.h"

#include "log_key.h"
#include "text.h"

#include <string.h>

static bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

static Slice Trim(const char *text, size_t length)
{
    while (length && IsBlank(*text)) {
        text++;
        length--;
    }
    while (length && IsBlank(text[length - 1]))
        length--;
    Slice slice = {text, length};
    return slice;
}

bool IsBlankText(const char *text, size_t length)
{
    for (size_t i = 0; i < length; i++)
        if (!IsBlank(text[i]) && text[i] != '\n')
            return false;
    return true;
}

bool SliceIs(Slice slice, const char *text)
{
    return slice.length == strlen(text) && SameAsciiText(slice.text, text, slice.length);
}

int SliceNumber(Slice value)
{
    const int kMax = 0x7FFFFFFF;
    int n = 0;
    for (size_t i = 0; i < value.length && value.text[i] >= '0' && value.text[i] <= '9'; i++) {
        int digit = value.text[i] - '0';
        if (n > (kMax - digit) / 10)
            return kMax;
        n = n * 10 + digit;
    }
    return n;
}

bool NextLogLine(const char **cursor, const char *end, LogLine *line)
{
    const char *start = *cursor;
    if (start >= end)
        return false;
    const char *stop = (const char *)memchr(start, '\n', (size_t)(end - start));
    const char *next = stop ? stop + 1 : end;
    *cursor = next;
    line->whole.text = start;
    line->whole.length = (size_t)(next - start);
    Slice content = Trim(start, (size_t)((stop ? stop : end) - start));
    line->name.text = line->value.text = content.text;
    line->name.length = line->value.length = 0;
    line->number = 0;
    if (content.length == 0) {
        line->kind = LINE_BLANK;
    } else if (content.text[0] == '[') {
        line->kind = LINE_SECTION;
        const char *close = (const char *)memchr(content.text, ']', content.length);
        size_t nameLength = close ? (size_t)(close - content.text) - 1 : content.length - 1;
        line->name = Trim(content.text + 1, nameLength);
    } else {
        line->kind = LINE_OTHER;
        const char *equals = (const char *)memchr(content.text, '=', content.length);
        if (!equals)
            return true;
        line->name = Trim(content.text, (size_t)(equals - content.text));
        line->value = Trim(equals + 1, (size_t)(content.text + content.length - equals - 1));
        Slice *v = &line->value;
        if (v->length >= 2 && (v->text[0] == '"' || v->text[0] == '\'') &&
            v->text[v->length - 1] == v->text[0]) {
            v->text++;
            v->length -= 2;
        }
        line->kind =
            ParseLogKey(line->name.text, line->name.length, &line->number) ? LINE_ENTRY : LINE_KEY;
    }
    return true;
}
