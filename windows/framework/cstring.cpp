/*
** CString: a small heap string for the dialog's text fields.
*/
#include <stdlib.h>
#include <string.h>

#include "windows/framework/cstring.h"

static char empty[1];   /* every empty CString points here; never written */

CString::CString() : m_p(empty), m_size(0)
{
}

CString::CString(const char *s) : m_p(empty), m_size(0)
{
    *this = s;
}

CString::CString(const CString &s) : m_p(empty), m_size(0)
{
    *this = (const char *)s;
}

CString::~CString()
{
    Free();
}

void CString::Free()
{
    if (m_size)
        free(m_p);
    m_p = empty;
    m_size = 0;
}

/* Copies s before freeing the old text, so s may point into this string. */
CString &CString::operator=(const char *s)
{
    int len = s ? (int)strlen(s) : 0;
    char *p;

    if (len == 0) {
        Free();
        return *this;
    }
    p = (char *)malloc(len + 1);
    if (p)
        memcpy(p, s, len + 1);
    Free();
    if (p) {
        m_p = p;
        m_size = len + 1;
    }
    return *this;
}

CString &CString::operator=(const CString &s)
{
    if (&s != this)
        *this = (const char *)s;
    return *this;
}

int CString::GetLength() const
{
    return (int)strlen(m_p);
}

char *CString::GetBuffer(int len)
{
    char *p;

    if (len < 0)
        return NULL;
    if (len < m_size)
        return m_p;
    p = (char *)malloc(len + 1);
    if (!p)
        return NULL;
    strcpy(p, m_p);     /* the old text is shorter than len + 1 bytes */
    Free();
    m_p = p;
    m_size = len + 1;
    return m_p;
}

/* The writer may have left the last byte unterminated. */
void CString::ReleaseBuffer()
{
    if (m_size)
        m_p[m_size - 1] = '\0';
}
