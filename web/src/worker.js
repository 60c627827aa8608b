// The page's worker: runs the engine (WebAssembly) off the page's thread, so
// the page stays responsive while millions of numbers are made, and hands
// back what the engine writes, block by block.
// The npm package's module, which holds the page's binding too.
import createEngine from 'pellorin-module.js';

// Work goes on for about this long before the worker looks at its messages.
const SLICE_MS = 25;

let engine = null;
const ready = createEngine().then((module) => {
  engine = module;
});

// Each generation, export and check has an id; a cancel names the one it stops.
const cancelled = new Set();

// A turn of the worker's event loop without the clamping of setTimeout, so
// that a Cancel is seen between slices.
const channel = new MessageChannel();
const waiting = [];
channel.port1.onmessage = () => waiting.shift()();
function nextTurn() {
  return new Promise((resolve) => {
    waiting.push(resolve);
    channel.port2.postMessage(0);
  });
}

function withText(text, use) {
  const size = engine.lengthBytesUTF8(text) + 1;
  const pointer = engine._malloc(size);
  engine.stringToUTF8(text, pointer, size);
  try {
    return use(pointer);
  } finally {
    engine._free(pointer);
  }
}

function bytesAt(pointer, size) {
  return engine.HEAPU8.slice(pointer, pointer + size);
}

function setForm(form) {
  engine._pe_form_clear();
  for (const [name, value] of Object.entries(form)) {
    if (typeof value === 'string') {
      withText(name, (field) => withText(value, (text) => engine._pe_form_set(field, text)));
    }
  }
  engine._pe_form_flags(form.group ? 1 : 0, form.unique ? 1 : 0, form.withExpiry ? 1 : 0, form.withCvv ? 1 : 0);
}

// Makes blocks one after the other, a slice of time at a time; `make(b)`
// returns block b's bytes. Returns the number of blocks made.
async function runBlocks(id, blocks, make, progressType) {
  let block = 0;
  while (block < blocks) {
    const sliceEnd = performance.now() + SLICE_MS;
    do {
      const bytes = make(block);
      block += 1;
      postMessage({ type: progressType, id, block, blocks, bytes }, [bytes.buffer]);
    } while (block < blocks && performance.now() < sliceEnd);
    await nextTurn();
    if (cancelled.has(id)) {
      break;
    }
  }
  return block;
}

async function generate({ id, form, month }) {
  setForm(form);
  const refused = engine._pe_generate_open(month);
  if (refused !== 0) {
    postMessage({ type: 'refused', id, field: engine.UTF8ToString(refused), message: engine.UTF8ToString(engine._pe_answer()) });
    return;
  }
  const blocks = engine._pe_run_blocks();
  postMessage({
    type: 'started',
    id,
    count: engine._pe_run_count(),
    blocks,
    seed: engine.UTF8ToString(engine._pe_run_seed()),
    expiry: (engine._pe_run_extras() & 1) !== 0,
    code: (engine._pe_run_extras() & 2) !== 0,
  });
  const made = await runBlocks(id, blocks, (block) => {
    const pointer = engine._pe_run_block(block);
    return bytesAt(pointer, engine._pe_block_size());
  }, 'rows');
  postMessage({ type: made === blocks ? 'done' : 'cancelled', id });
}

async function exportRows({ id, format, count, unticked }) {
  const bits = new Uint8Array(unticked || 0);
  const pointer = engine._malloc(bits.length || 1);
  engine.HEAPU8.set(bits, pointer);
  engine._pe_export_skip(pointer, bits.length);
  engine._free(pointer);
  const blocks = withText(format, (text) => engine._pe_export_open(text, count));
  if (blocks < 0) {
    postMessage({ type: 'failed', id, message: 'not enough memory', memory: true });
    return;
  }
  const made = await runBlocks(id, blocks, (block) => {
    const pointer = engine._pe_export_block(block);
    return bytesAt(pointer, engine._pe_block_size());
  }, 'part');
  postMessage({ type: made === blocks ? 'done' : 'cancelled', id });
}

function checkOutput() {
  return bytesAt(engine._pe_check_output(), engine._pe_check_output_size());
}

function check({ id, phase, bytes, name, month }) {
  if (phase === 'begin') {
    withText(name, (pointer) => engine._pe_check_begin(pointer, month));
    return;
  }
  if (phase === 'feed') {
    const piece = new Uint8Array(bytes);
    const pointer = engine._malloc(piece.length || 1);
    engine.HEAPU8.set(piece, pointer);
    engine._pe_check_feed(pointer, piece.length);
    engine._free(pointer);
    const out = checkOutput();
    postMessage({ type: 'verdicts', id, bytes: out }, [out.buffer]);
    return;
  }
  const status = engine._pe_check_end();
  const out = checkOutput();
  postMessage({ type: 'verdicts', id, bytes: out, status, last: true }, [out.buffer]);
}

const handlers = {
  brands: ({ id }) => postMessage({
    type: 'brands',
    id,
    brands: JSON.parse(engine.UTF8ToString(engine._pe_brands())),
    classic: JSON.parse(engine.UTF8ToString(engine._pe_classic_networks())),
    invalidRules: JSON.parse(engine.UTF8ToString(engine._pe_invalid_rules())),
  }),
  judge: ({ id, line, month }) => postMessage({
    type: 'verdict', id, verdict: withText(line, (text) => engine.UTF8ToString(engine._pe_judge(text, month))),
  }),
  generate,
  export: exportRows,
  check,
  cancel: ({ target }) => cancelled.add(target),
};

// Messages are handled in order; a cancel is taken at once, so that it
// reaches the job it stops between two of its slices.
let queue = Promise.resolve();
onmessage = ({ data }) => {
  if (data.type === 'cancel') {
    handlers.cancel(data);
    return;
  }
  queue = queue.then(() => ready).then(() => handlers[data.type](data)).catch((error) => {
    postMessage({ type: 'failed', id: data.id, message: String(error && error.message ? error.message : error) });
  });
};
