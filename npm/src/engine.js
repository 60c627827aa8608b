// The library over one instance of its WebAssembly module: options checked
// and named as pellorin-cli names them, texts in and out of the module's
// memory, answers as plain objects. pellorin.js makes one at import;
// loadEngine() another, for code that may not wait at import.
import createModule from './pellorin-module.js';

// Every option, as JavaScript names it, with its kind and the name the
// module's request gives it (pellorin-cli's option without the dashes).
const OPTIONS = {
  brand: 'text',
  ranges: 'text',
  prefix: 'text',
  length: 'whole',
  invalid: 'text',
  group: 'flag',
  separator: 'text',
  count: 'whole',
  seed: 'whole',
  unique: 'flag',
  withExpiry: 'flag',
  withCvv: 'flag',
  month: 'month',
  format: 'text',
  null: 'flag',
  noHeader: 'flag',
};
// Only written output has a format; cards are fields.
const OUTPUT_ONLY = new Set(['format', 'null', 'noHeader']);

// An array this long holds about a gigabyte of strings; more is for cards()
// or generateBlocks(), which hold one block at a time.
export const MAX_ARRAY = 10_000_000;

// The longest string V8 makes (2^29 - 24 characters).
const MAX_STRING = 536_870_888;

// Cards per read from the module: large enough that a call costs nothing
// next to its cards, small enough to keep the module's memory small.
const READ_CARDS = 65_536;

const snake = (key) => key.replace(/[A-Z]/g, (c) => `_${c.toLowerCase()}`);
const camel = (field) => field.replace(/_([a-z])/g, (_, c) => c.toUpperCase());
const optionName = (key) => `--${snake(key).replace(/_/g, '-')}`;

function describe(value) {
  if (typeof value === 'string') return `'${value}'`;
  if (typeof value === 'bigint') return `${value}n`;
  if (value === null) return 'null';
  if (typeof value === 'object') return Array.isArray(value) ? 'an array' : 'an object';
  return `${typeof value} ${String(value)}`;
}

function refusal(Kind, key, message) {
  const error = new Kind(key ? `${optionName(key)}: ${message}` : message);
  error.option = key;
  return error;
}

// The option's value as pellorin-cli would be given it: the module reads
// and refuses it in that program's words. A value no command line could
// give is a TypeError here.
function valueText(key, value) {
  switch (OPTIONS[key]) {
    case 'text':
      if (typeof value !== 'string') {
        throw refusal(TypeError, key, `expected a string, got ${describe(value)}`);
      }
      if (value.includes('\0')) {
        throw refusal(RangeError, key, `expected no NUL character, got '${value.replace(/\0/g, '\\0')}'`);
      }
      return value;
    case 'flag':
      if (typeof value !== 'boolean') {
        throw refusal(TypeError, key, `expected true or false, got ${describe(value)}`);
      }
      return value;
    case 'whole':
      if (typeof value !== 'number' && typeof value !== 'bigint') {
        throw refusal(TypeError, key, `expected a number or a bigint, got ${describe(value)}`);
      }
      if (typeof value === 'number' && Number.isInteger(value) && !Number.isSafeInteger(value)) {
        throw refusal(RangeError, key,
          `${value} is past 2^53, where a number has lost digits; give a bigint, got '${value}'`);
      }
      return String(value);
    case 'month': {
      const month = value instanceof Date && !Number.isNaN(value.getTime())
        ? [value.getUTCFullYear(), value.getUTCMonth() + 1]
        : typeof value === 'string' && /^[0-9]{4}-(0[1-9]|1[0-2])$/.test(value)
          ? value.split('-').map(Number) : null;
      if (!month) {
        throw refusal(RangeError, key, `expected a month as 'YYYY-MM' or a Date, got ${describe(value)}`);
      }
      return month;
    }
    default:
      throw refusal(TypeError, null,
        `unknown option '${key}'; the options are ${Object.keys(OPTIONS).join(', ')}`);
  }
}

// A seed nobody can foresee, drawn here rather than in the module, so that
// no runtime needs the module's own source of randomness.
function unpredictableSeed() {
  const words = new Uint32Array(2);
  if (globalThis.crypto && typeof globalThis.crypto.getRandomValues === 'function') {
    globalThis.crypto.getRandomValues(words);
  } else {
    words[0] = Math.floor(Math.random() * 2 ** 32);
    words[1] = Math.floor(Math.random() * 2 ** 32);
  }
  return (BigInt(words[0]) << 32n) | BigInt(words[1]);
}

export class Engine {
  constructor(module) {
    this.m = module;
    this.decoder = new TextDecoder();
    this.unread = new FinalizationRegistry((handle) => this.m._pl_cards_close(handle));
  }

  // Hands the options to the module; returns the seed in use as given,
  // which the module has yet to judge.
  request(options, { output }) {
    if (options === undefined) options = {};
    if (options === null || typeof options !== 'object' || Array.isArray(options)) {
      throw new TypeError(`expected an object of options, got ${describe(options)}`);
    }
    this.m._pl_reset();
    for (const [key, value] of Object.entries(options)) {
      if (value === undefined) continue;
      if (!output && OUTPUT_ONLY.has(key)) {
        throw refusal(TypeError, key, 'only generateText() and generateBlocks() write a format; cards are fields');
      }
      const text = valueText(key, value);
      if (key === 'month') this.m._pl_month(text[0], text[1]);
      else if (text !== false) this.option(snake(key), text === true ? '' : text);
    }
    const seed = options.seed === undefined ? unpredictableSeed() : options.seed;
    if (options.seed === undefined) this.option('seed', String(seed));
    return seed;
  }

  option(name, text) {
    this.withText(name, (n) => this.withText(text, (t) => this.m._pl_option(n, t)));
  }

  withText(text, use) {
    const size = this.m.lengthBytesUTF8(text) + 1;
    const pointer = this.m._malloc(size);
    if (!pointer) throw new RangeError('not enough memory for the text');
    this.m.stringToUTF8(text, pointer, size);
    try {
      return use(pointer, size - 1);
    } finally {
      this.m._free(pointer);
    }
  }

  refused() {
    const field = this.m.UTF8ToString(this.m._pl_error_field());
    const error = new RangeError(this.m.UTF8ToString(this.m._pl_error_message()));
    error.option = field && field !== 'memory' ? camel(field) : undefined;
    return error;
  }

  // Hands each block of the output to `take(bytes, decoder)`, until it
  // returns false; the bytes are the module's, valid until it returns.
  deliver(options, take, { output } = { output: true }) {
    const seed = this.request(options, { output });
    const decoder = new TextDecoder();
    let failure = null;
    // A write that calls the library again runs a run of its own inside.
    const outer = this.m.plDeliver;
    this.m.plDeliver = (pointer, size) => {
      try {
        return take(this.m.HEAPU8.subarray(pointer, pointer + size), decoder) === false ? 0 : 1;
      } catch (error) {
        // Thrown through the module's frames, it would skip their clean-up.
        failure = error;
        return 0;
      }
    };
    try {
      if (!this.m._pl_generate()) throw this.refused();
    } finally {
      this.m.plDeliver = outer;
    }
    if (failure) throw failure;
    return BigInt(seed);
  }

  generateBlocks(options, write) {
    if (typeof write !== 'function') {
      throw new TypeError(`expected a function to write the blocks, got ${describe(write)}`);
    }
    return this.deliver(options, (bytes) => write(bytes.slice()));
  }

  generateText(options) {
    const pieces = [];
    let length = 0;
    let tooLong = false;
    this.deliver(options, (bytes, decoder) => {
      const piece = decoder.decode(bytes);
      length += piece.length;
      if (length > MAX_STRING) {
        tooLong = true;
        return false;
      }
      pieces.push(piece);
      return true;
    });
    if (tooLong) {
      throw refusal(RangeError, 'count',
        `the output is longer than a string can hold (${MAX_STRING} characters); generateBlocks() writes it a block at a time`);
    }
    return pieces.join('');
  }

  // The open range's handle, with its seed; the caller closes it.
  open(options) {
    const seed = this.request(options, { output: false });
    const handle = this.m._pl_cards_open();
    if (!handle) throw this.refused();
    return { handle, seed: BigInt(seed), records: Boolean(options && (options.withExpiry || options.withCvv)) };
  }

  // The next lines of an open range, as one string ('' at the end).
  readLines(range, most) {
    const pointer = this.m._pl_cards_read(range.handle, most, range.records ? 1 : 0);
    const size = this.m._pl_answer_size();
    return size ? this.decoder.decode(this.m.HEAPU8.subarray(pointer, pointer + size)) : '';
  }

  generate(options) {
    const count = options && options.count !== undefined ? options.count : 10;
    if ((typeof count === 'number' || typeof count === 'bigint') && count > MAX_ARRAY && count >= 0) {
      throw refusal(RangeError, 'count',
        `an array holds at most ${MAX_ARRAY} numbers, got '${String(count)}'; cards() gives any number, one at a time`);
    }
    if (options && (options.withExpiry || options.withCvv)) {
      const range = this.open(options);
      const made = [...this.read(range, READ_CARDS)];
      Object.defineProperty(made, 'seed', { value: range.seed });
      return made;
    }
    // Without extras each line of the text output is a number as printed:
    // the fastest way from the module, a block of lines at a time.
    const blocks = [];
    let rest = '';
    const seed = this.deliver(options, (bytes, decoder) => {
      const lines = (rest + decoder.decode(bytes)).split('\n');
      rest = lines.pop();
      blocks.push(lines);
    }, { output: false });
    const made = blocks.length === 1 ? blocks[0] : [].concat(...blocks);
    Object.defineProperty(made, 'seed', { value: seed });
    return made;
  }

  // Refuses at once; the range closes when read to the end, left by a
  // break or a throw, or collected unread.
  cards(options) {
    const range = this.open(options);
    const reader = this.read(range, 4096);
    this.unread.register(reader, range.handle, range);
    return reader;
  }

  * read(range, most) {
    try {
      for (;;) {
        const text = this.readLines(range, most);
        if (!text) return;
        const lines = text.split('\n');
        lines.length -= 1;
        for (const line of lines) yield range.records ? record(line) : line;
      }
    } finally {
      this.unread.unregister(range);
      this.m._pl_cards_close(range.handle);
    }
  }

  check(text, options = {}) {
    const allowUnknown = checkOptions(text, options, false).allowUnknown;
    const verdict = this.withText(text, (pointer, size) =>
      JSON.parse(this.m.UTF8ToString(this.m._pl_check(pointer, size, allowUnknown ? 1 : 0))));
    delete verdict.line;
    return verdict;
  }

  checkLines(text, options = {}) {
    const { allowUnknown, null: nulEnded } = checkOptions(text, options, true);
    return this.withText(text, (pointer, size) => JSON.parse(this.m.UTF8ToString(
      this.m._pl_check_lines(pointer, size, allowUnknown ? 1 : 0, nulEnded ? 1 : 0))));
  }

  networks() {
    return JSON.parse(this.m.UTF8ToString(this.m._pl_networks()));
  }
}

function checkOptions(text, options, lines) {
  if (typeof text !== 'string') {
    throw new TypeError(`expected the text to check as a string, got ${describe(text)}`);
  }
  if (options === null || typeof options !== 'object') {
    throw new TypeError(`expected an object of options, got ${describe(options)}`);
  }
  const known = lines ? ['allowUnknown', 'null'] : ['allowUnknown'];
  for (const [key, value] of Object.entries(options)) {
    if (!known.includes(key)) {
      throw refusal(TypeError, null, `unknown option '${key}'; the options are ${known.join(', ')}`);
    }
    if (value !== undefined && typeof value !== 'boolean') {
      throw refusal(TypeError, key, `expected true or false, got ${describe(value)}`);
    }
  }
  return options;
}

function record(line) {
  const [number, expiry, cvv, network] = line.split('\t');
  const card = { number, network };
  if (expiry) card.expiry = expiry;
  if (cvv) card.cvv = cvv;
  return card;
}

export async function loadEngine() {
  return new Engine(await createModule());
}
