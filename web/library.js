// The page's side of platform/page_web.h, linked into kelvora.js. Each function
// hands over to Module.page (web/page.js), reading the program's memory here, where
// its views stay current as the memory grows.
mergeInto(LibraryManager.library, {
  page_wait__deps: ['$Asyncify'],
  page_wait: function () {
    return Asyncify.handleSleep(function (wakeUp) {
      Module.page.wait(wakeUp);
    });
  },

  page_quit_requested: function () {
    return Module.page.quitRequested() ? 1 : 0;
  },

  page_take_requests: function () {
    return Module.page.takeRequests();
  },

  page_pumped: function (ms) {
    Module.page.pumped(ms);
  },

  page_canvas_open: function () {
    return Module.page.canvasOpen() ? 1 : 0;
  },

  page_screen: function (frame, lookup) {
    Module.page.screenAt(function () {
      return {
        frame: HEAPU8.slice(frame, frame + 64000),
        lookup: HEAPU32.slice(lookup >> 2, (lookup >> 2) + 256),
      };
    });
  },

  page_canvas_draw: function (rgba) {
    Module.page.draw(new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, 320 * 200 * 4), 320, 200));
  },

  page_canvas_close: function () {
    Module.page.canvasClose();
  },

  page_error: function (line) {
    Module.page.error(UTF8ToString(line));
  },

  page_end: function (code) {
    Module.page.end(code);
  },

  page_audio_rate: function () {
    return Module.page.audioRate();
  },

  page_audio_start: function () {
    Module.page.audioStart();
  },

  page_audio_stop: function () {
    Module.page.audioStop();
  },

  page_audio_push: function (left, right, frames) {
    Module.page.audioPush(HEAPF32.slice(left >> 2, (left >> 2) + frames),
                          HEAPF32.slice(right >> 2, (right >> 2) + frames));
  },

  page_audio_close: function () {
    Module.page.audioClose();
  },
});
