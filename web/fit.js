// On a narrow screen or at a large zoom the window scales down as a whole,
// its layout kept, to the width the page has: it opens at its left edge
// with every control in view. It never grows past its own size.
'use strict';
(function () {
  const win = document.getElementById('window');
  function fit() {
    const body = getComputedStyle(document.body);
    const room = document.documentElement.clientWidth - parseFloat(body.marginLeft) -
                 parseFloat(body.marginRight);
    const w = win.offsetWidth, h = win.offsetHeight;
    const s = room > 0 && w > room ? room / w : 1;
    win.style.transform = s < 1 ? 'scale(' + s + ')' : '';
    // the page's layout takes the scaled size: nothing is left to scroll to
    win.style.marginRight = s < 1 ? (w * s - w) + 'px' : '';
    win.style.marginBottom = s < 1 ? (h * s - h) + 'px' : '';
  }
  new ResizeObserver(fit).observe(win);
  addEventListener('resize', fit);
})();
