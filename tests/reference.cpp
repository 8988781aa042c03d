/*
** The reference enumerator: each level takes the rarest letter left, tries
** every word of the file that holds it and fits, and a line holds at most
** nine words (or maxwords).
*/
#include <algorithm>

#include "engine/letters.h"
#include "tests/reference.h"

static int weight(int letter)
{
    return letter_freq[letter];
}

void Reference::enumerate(int counts[26], int left, std::vector<std::string> &path)
{
    int rarest = -1;
    for (int c = 0; c < 26; c++)
        if (counts[c] > 0 && (rarest < 0 || weight(c) < weight(rarest)))
            rarest = c;
    for (const std::string &w : words) {
        int need[26] = {0};
        bool fits = true, hasrarest = rarest < 0;
        for (char c : w) {
            if (c < 'a' || c > 'z' || ++need[c - 'a'] > counts[c - 'a'])
                fits = false;
            else if (c - 'a' == rarest)
                hasrarest = true;
        }
        if (!fits || !hasrarest || (!multi && (int)w.size() < left) || path.size() == maxwords ||
            w.size() < minlength)
            continue;
        for (int c = 0; c < 26; c++)
            counts[c] -= need[c];
        path.push_back(w);
        if (left == (int)w.size()) {
            std::string line;
            for (const std::string &p : path)
                line += p + " ";
            lines.push_back(line + "\n");
        } else {
            enumerate(counts, left - (int)w.size(), path);
        }
        path.pop_back();
        for (int c = 0; c < 26; c++)
            counts[c] += need[c];
    }
}

std::vector<std::string> Reference::run(const std::string &text)
{
    int counts[26] = {0}, left = 0;
    for (char c : text)
        if (c != ' ') {
            counts[(c | 0x20) - 'a']++;
            left++;
        }
    std::vector<std::string> path;
    lines.clear();
    enumerate(counts, left, path);
    if (lines.empty())
        lines.push_back("*No anagrams found*");
    std::sort(lines.begin(), lines.end());
    return lines;
}
