// The engine module's calls out to the worker's script (worker.js), which
// posts them on to the page. vexyield sleeps the search (Asyncify unwinds
// the stack from the pump to Start) until the worker's event loop has
// taken what was waiting, and rewinds it.
mergeInto(LibraryManager.library, {
  vexlines: function (text, len) {
    Module.onlines(UTF8ToString(text, len));
  },
  vexclear: function () {
    Module.onclear();
  },
  vexbusy: function (on) {
    Module.onbusy(!!on);
  },
  vexmessage: function (text, why) {
    Module.onmessage(UTF8ToString(text), why ? UTF8ToString(why) : '');
  },
  vexend: function () {
    Module.onend();
  },
  vexranked: function (on) {
    Module.onranked(!!on);
  },
  vexyield__deps: ['$Asyncify'],
  vexyield: function () {
    return Asyncify.handleSleep(function (wakeUp) {
      Module.onyield(wakeUp);
    });
  },
});
