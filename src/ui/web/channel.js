// The messages between the page and the worker, named once for both sides (the page
// inlines this file, the worker has it before worker.js).
var Msg = Object.freeze({
  // worker → page
  ready: "ready", show: "show", status: "status", disable: "disable", message: "message", output: "output",
  finish: "finish", fault: "fault", ended: "ended",
  // page → worker
  start: "start", options: "options", run: "run", ok: "ok", writeFailed: "writeFailed", close: "close",
  finished: "finished",
});
