// The results list's lines in order, for a list of millions: a line goes
// in at the cost of its own length, whatever the list holds, and the line
// at any row is found by counting down a few levels. The lines sit in
// buckets by their first characters; a bucket past BUCKET_MAX lines splits
// into one for each next character, and a bucket is sorted only when a row
// in it is wanted and lines came since. Lines are in byte order, as the
// finder and the Linux window have them: the order of their UTF-8 bytes,
// which is the order of their code points. Code unit order, a string's own,
// is the same but where a character past U+FFFF (two code units, D800 to
// DFFF) meets one from U+E000 to U+FFFF.
'use strict';
(function () {
  const BUCKET_MAX = 2048;

  // A code unit's place in code point order: the surrogates after the
  // units from E000 up.
  const rank = (c) => (c < 0xd800 ? c : c < 0xe000 ? c + 0x2000 : c - 0x800);
  const HIGH = /[\ud800-\uffff]/;

  function byteorder(a, b) {
    const n = Math.min(a.length, b.length);
    for (let i = 0; i < n; i++) {
      const x = a.charCodeAt(i), y = b.charCodeAt(i);
      if (x !== y)
        return rank(x) - rank(y);
    }
    return a.length - b.length;
  }

  function bucket(depth) {
    // lines: a bucket's, sorted if sorted; kids: a split node's, by the
    // rank of the code unit at depth, and keys, those ranks in order; ends: the
    // lines of just depth characters, all the same, end one of them
    return { depth: depth, count: 0, lines: [], sorted: true, kids: null, keys: null,
             ends: 0, end: '' };
  }

  function sortbucket(node) {
    if (!node.sorted) {
      // the strings' own order where no line holds a unit from D800 up
      if (node.lines.some((l) => HIGH.test(l)))
        node.lines.sort(byteorder);
      else
        node.lines.sort((a, b) => (a < b ? -1 : a > b ? 1 : 0));
      node.sorted = true;
    }
  }

  // The kid of a split node that line goes to, made if need be (its code
  // added to keys once keys exist), or null for a line that ends at the
  // node, counted there.
  function kidfor(node, line) {
    if (line.length === node.depth) {
      node.ends++;
      node.end = line;
      return null;
    }
    const c = rank(line.charCodeAt(node.depth));
    let kid = node.kids[c];
    if (!kid) {
      kid = node.kids[c] = bucket(node.depth + 1);
      if (node.keys) {
        node.keys.push(c);
        node.keys.sort((a, b) => a - b);
      }
    }
    return kid;
  }

  function split(node) {
    node.kids = [];
    for (const line of node.lines) {
      const kid = kidfor(node, line);
      if (kid) {
        kid.lines.push(line);
        kid.count++;
      }
    }
    node.lines = null;
    node.keys = Object.keys(node.kids).map(Number).sort((a, b) => a - b);
    for (const c of node.keys) {
      const kid = node.kids[c];
      kid.sorted = node.sorted || kid.count < 2;
      if (kid.count > BUCKET_MAX)
        split(kid);
    }
  }

  class LineIndex {
    constructor() { this.clear(); }

    // asgiven: the lines kept in the order they come (a ranked list), not
    // sorted
    clear(asgiven) {
      this.root = bucket(0);
      this.flat = null;
      this.given = asgiven ? [] : null;
    }

    get count() { return this.given ? this.given.length : this.root.count; }

    add(line) {
      if (this.given) {
        this.given.push(line);
        return;
      }
      let node = this.root;
      for (;;) {
        node.count++;
        if (!node.kids) {
          node.lines.push(line);
          node.sorted = node.lines.length < 2;
          if (node.count > BUCKET_MAX)
            split(node);
          break;
        }
        node = kidfor(node, line);
        if (!node)
          break;
      }
      this.flat = null;
    }

    // The line of the row, or undefined past the last.
    at(row) {
      if (this.given)
        return this.given[row];
      if (row < 0 || row >= this.root.count)
        return undefined;
      let node = this.root;
      while (node.kids) {
        if (row < node.ends)
          return node.end;
        row -= node.ends;
        for (const c of node.keys) {
          const kid = node.kids[c];
          if (row < kid.count) {
            node = kid;
            break;
          }
          row -= kid.count;
        }
      }
      sortbucket(node);
      return node.lines[row];
    }

    // Every line in order, made once for each change.
    all() {
      if (this.given)
        return this.given;
      if (!this.flat) {
        const out = new Array(this.count);
        let k = 0;
        const walk = (node) => {
          if (!node.kids) {
            sortbucket(node);
            for (const l of node.lines) out[k++] = l;
            return;
          }
          for (let i = 0; i < node.ends; i++) out[k++] = node.end;
          for (const c of node.keys) walk(node.kids[c]);
        };
        walk(this.root);
        this.flat = out;
      }
      return this.flat;
    }
  }
  self.LineIndex = LineIndex;
})();
