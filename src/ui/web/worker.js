// The worker's side of the page (prepended to the compiled core): it runs Varnel on
// the files dropped on the page and exchanges messages with page.js.
var varnel = {
  names: [],                          // the dropped files, as the core names them
  files: new Map(),                   // the dropped files, by those names
  reading: null,                      // the file being read: its stream, and what is left of its last chunk
  outputs: new Map(),                 // the CSV files the core wrote: their names on the page
  taken: new Set(),                   // those names, in lower case
  crcs: {},                           // the CRC-32 of each, so far
  options: [],                        // the check of each control, in the order of the core's table
  allPoints: false,                   // every point of each job, as the page's box chose
  lastYield: 0,
  closeRequested: false,
  closing: false,                     // the core is ending the run for the close
  writeFailed: false,
  inCore: false,                      // the core is running, or waiting in a message box
  answer: null,                       // closes the message box the core waits in
  finished: null,                     // takes the page's answer to finish

  post(message, transfer) { postMessage(message, transfer || []); },

  // Runs an entry point of the core, which may wait for the page; the end of the
  // program arrives as the exception that varnel.end throws.
  async call(entry, async) {
    varnel.inCore = true;
    try {
      await ccall(entry, null, [], [], {async: async});
    } catch (e) {
      if (e === "varnel-ended") return;
      varnel.ended = true;  // a fault of the program's: the page must not wait for it
      varnel.post({type: Msg.fault});
      throw e;
    } finally {
      varnel.inCore = false;
    }
  },

  message(text) {
    // The window's box would end with the window, which the user has closed: no box.
    if (varnel.closeRequested) return Promise.resolve();
    varnel.post({type: Msg.message, text: text});
    return new Promise(resolve => { varnel.answer = resolve; });
  },

  shouldYield() { return varnel.closeRequested || varnel.writeFailed || performance.now() - varnel.lastYield > 100; },

  async yieldToPage() {
    varnel.lastYield = performance.now();
    await new Promise(resolve => setTimeout(resolve, 0));
    return varnel.closeRequested ? 1 : varnel.writeFailed ? 2 : 0;
  },

  // One tick every 10 milliseconds, each after the one before has ended. A close asked
  // for during a tick that never reached the event pump (a file that failed at once, say)
  // ends the run as soon as the tick is over, as the window's close waits for its tick.
  startTicks() {
    setTimeout(async function tick() {
      if (varnel.ended || varnel.closing) return;
      if (varnel.closeRequested) return varnel.close();
      await varnel.call(varnel.writeFailed ? "varnel_write_failed" : "varnel_tick", true);
      setTimeout(tick, 10);
    }, 10);
  },

  // Ends the run for the page's close, once: the end waits for the page to close its
  // files, and nothing else may enter the core meanwhile.
  close() {
    if (varnel.closing) return;
    varnel.closing = true;
    varnel.call("varnel_close", true);
  },

  // Starts reading the dropped file named input, as a stream: the browser reads a file so
  // several times as fast as through a file system.
  open(input) {
    varnel.reading = {stream: varnel.files.get(input).stream().getReader(), chunk: new Uint8Array(0)};
  },

  // Reads up to size bytes of the file into the core's memory at buffer: their count, 0 at
  // its end, -1 when it cannot be read (it went away, say).
  async read(buffer, size) {
    const reading = varnel.reading;
    let count = 0;
    try {
      while (count < size) {
        if (reading.chunk.length === 0) {
          const {done, value} = await reading.stream.read();
          if (done) break;
          reading.chunk = value;
        }
        const taken = reading.chunk.subarray(0, size - count);
        HEAPU8.set(taken, buffer + count);
        count += taken.length;
        reading.chunk = reading.chunk.subarray(taken.length);
      }
    } catch (e) {
      return -1;
    }
    return count;
  },

  // Hands a piece of a CSV file's lines, bytes in the core's memory, to the page as a
  // Blob, which the browser keeps outside both, with what the page needs of the bytes:
  // the CRC-32 of the file so far when several files may go into one zip archive, and
  // the count of lines, which are points when the run reads every point of each job.
  output(path, bytes) {
    const name = varnel.outputName(path, path.slice(path.lastIndexOf("/") + 1));
    const piece = {type: Msg.output, name: name, piece: new Blob([bytes])};
    if (varnel.names.length > 1) piece.crc = varnel.crcs[name] = crc32(varnel.crcs[name] || 0, bytes);
    if (varnel.allPoints) {
      piece.lines = 0;
      for (let i = 0; i < bytes.length; ++i) piece.lines += bytes[i] === 10;
    }
    varnel.post(piece);
  },

  // Files of one name from different folders must not merge: a CSV name already taken
  // in this run (in any case, as Windows folders and zip tools fold it) gets " (1)",
  // " (2)"... in the order in which the files are converted, which is that of the drop.
  outputName(path, name) {
    if (!varnel.outputs.has(path)) {
      const stem = name.slice(0, -".csv".length);
      for (let n = 1; varnel.taken.has(name.toLowerCase()); ++n) name = stem + " (" + n + ").csv";
      varnel.taken.add(name.toLowerCase());
      varnel.outputs.set(path, name);
    }
    return varnel.outputs.get(path);
  },

  // The page writes what is left and closes its files; the answer says whether every
  // write and close succeeded.
  finish() {
    varnel.post({type: Msg.finish});
    return new Promise(resolve => { varnel.finished = resolve; });
  },

  end(status) {
    varnel.ended = true;
    varnel.post({type: Msg.ended, status: status});
    throw "varnel-ended";
  },
};

// The core lists the dropped files under names of their own, in folders of their own
// (/in/k/), so that files of one name from different folders stay apart.
function varnelStart(files) {
  files.forEach((file, k) => {
    varnel.names.push("/in/" + k + "/" + file.name);
    varnel.files.set(varnel.names.at(-1), file);
  });
  varnel.call("varnel_load", true);
}

onmessage = event => {
  const message = event.data;
  if (message.type === Msg.start) {
    varnel.options = message.options;
    varnel.allPoints = message.allPoints;
    varnelStart(message.files);
  }
  if (message.type === Msg.options) varnel.options = message.options;
  if (message.type === Msg.run) varnel.call("varnel_run", false);
  if (message.type === Msg.ok) varnel.answer();
  if (message.type === Msg.writeFailed) varnel.writeFailed = true;
  if (message.type === Msg.finished) varnel.finished(message.ok);
  if (message.type === Msg.close) {
    varnel.closeRequested = true;
    if (!varnel.inCore) varnel.close();
  }
};

Module.onRuntimeInitialized = () => varnel.post({type: Msg.ready, controls: UTF8ToString(_varnel_controls())});
