/*
** CString: a small heap string for the dialog's text fields. It never
** throws: when memory runs out it stays (or becomes) the empty string.
*/
#ifndef VEXLORE_CSTRING_H
#define VEXLORE_CSTRING_H

class CString {
public:
    CString();
    CString(const char *s);
    CString(const CString &s);
    ~CString();

    CString &operator=(const char *s);
    CString &operator=(const CString &s);
    operator const char *() const { return m_p; }

    int GetLength() const;
    int IsEmpty() const { return m_p[0] == '\0'; }

    /* Room for len characters and a terminator, the old text kept as far
    ** as it fits; NULL (and the string unchanged) when there is no memory.
    ** Call ReleaseBuffer once the text is written. */
    char *GetBuffer(int len);
    void ReleaseBuffer();

private:
    void Free();

    char *m_p;      /* the text: heap memory, or the shared empty string */
    int m_size;     /* bytes allocated at m_p; 0 for the shared empty string */
};

#endif
