// The page: turns its fields into a request for the engine, which runs in a
// worker, and shows what the engine writes.

import { EngineClient, runJob } from './engine-client.js';
import { Rows } from './rows.js';
import { ResultsGrid } from './results-grid.js';
import { saveParts, copyText } from './downloads.js';
import { setUpCheckPane } from './check-pane.js';

const $ = (id) => document.getElementById(id);

const ERROR_FIELDS = ['network', 'prefix', 'length', 'ranges', 'count', 'seed', 'invalid', 'unique', 'separator'];
// The engine's field names against the page's; a field the page has no
// box for is spoken of beside the quantity.
const FIELD_OF = { brand: 'network', format: 'count' };
const FORMAT_NAMES = { text: 'numbers', table: 'text' };
// What each rule the engine names breaks, for its choice; a rule the page
// does not know yet is offered by its name alone.
const RULE_TEXTS = {
  luhn: 'a wrong check digit',
  length: 'a length the network never issues',
  prefix: 'a prefix no network claims',
  expiry: 'an expiry date that has passed',
  month: 'an expiry month 00 or 13',
  code: 'a security code of a wrong length',
};

const client = new EngineClient();
const rows = new Rows();
const numberFormat = new Intl.NumberFormat('en');
let brands = [];
let classic = new Set(); // the networks whose classic prefixes the desktop program makes
let job = null; // the id of the generation or export under way
let lastRun = null; // what the list was made from

const grid = new ResultsGrid(rows, {
  grid: $('grid'), head: $('grid-head'), spacer: $('grid-spacer'), body: $('grid-body'),
}, () => showCounts());

function month() {
  const now = new Date();
  return now.getUTCFullYear() * 12 + now.getUTCMonth();
}

// The engine's word for the classic prefixes is the desktop program's
// "window", which means nothing here.
function inPageWords(message) {
  return message
    .replace(/Ranges window/g, 'Ranges "classic prefixes only"')
    .replace(/the window's numbers/g, 'classic prefixes')
    .replace(/the window's /g, 'the classic ');
}

function fillNetworks() {
  const select = $('network');
  for (const brand of brands) {
    select.add(new Option(brand.name, brand.id));
  }
  networkChanged();
}

function lengthChoices(lengths, chosen) {
  const length = $('length');
  const before = length.value;
  length.replaceChildren(...lengths.map((l) => new Option(String(l), String(l), false, l === chosen)));
  if (lengths.map(String).includes(before) && before !== '') {
    length.value = before;
  }
}

function networkChanged() {
  const brand = brands.find((b) => b.id === $('network').value);
  $('length').replaceChildren();
  lengthChoices(brand.lengths, brand.commonLength);
  fieldStates();
}

// Fields that mean nothing for the current choices are disabled, not hidden,
// so nothing moves.
function fieldStates() {
  const ownPrefix = $('prefix').value.trim() !== '';
  const brand = brands.find((b) => b.id === $('network').value);
  if (ownPrefix !== $('network').disabled && brand) {
    // A prefix of one's own takes any card length; a network its own.
    const lengths = ownPrefix ? [12, 13, 14, 15, 16, 17, 18, 19] : brand.lengths;
    lengthChoices(lengths, ownPrefix ? 16 : brand.commonLength);
  }
  $('network').disabled = ownPrefix;
  $('ranges').disabled = ownPrefix;
  $('ranges').options[1].disabled = !classic.has($('network').value);
  if ($('ranges').value === 'window' && $('ranges').options[1].disabled) {
    $('ranges').value = '';
  }
  $('length').disabled = $('length').options.length < 2 || (!ownPrefix && $('invalid').value === 'length');
  $('separator').disabled = !$('group').checked;
}

function form() {
  const request = {
    count: $('count').value.trim(),
    group: $('group').checked,
    unique: $('unique').checked,
    withExpiry: $('with-expiry').checked,
    withCvv: $('with-cvv').checked,
  };
  const prefix = $('prefix').value.trim();
  if (prefix !== '') {
    request.prefix = prefix;
  } else {
    request.brand = $('network').value;
  }
  // Left at its default, a field is not sent, so the engine decides as the
  // command line does without the option.
  if (!$('ranges').disabled && $('ranges').value !== '') {
    request.ranges = $('ranges').value;
  }
  if (!$('length').disabled || prefix !== '') {
    request.length = $('length').value;
  }
  if ($('invalid').value !== '') {
    request.invalid = $('invalid').value;
  }
  if ($('seed').value.trim() !== '') {
    request.seed = $('seed').value.trim();
  }
  if (request.group) {
    request.separator = $('separator').value;
  }
  return request;
}

function clearErrors() {
  for (const field of ERROR_FIELDS) {
    $(`${field}-error`).textContent = '';
    $(field).removeAttribute('aria-invalid');
  }
}

function showError(field, message) {
  const name = FIELD_OF[field] || (ERROR_FIELDS.includes(field) ? field : 'count');
  $(`${name}-error`).textContent = inPageWords(message);
  const control = $(name);
  control.setAttribute('aria-invalid', 'true');
  control.setAttribute('aria-describedby', `${name}-error`);
  control.focus();
}

function setBusy(busy) {
  job = busy ? job : null;
  $('start').disabled = busy;
  $('cancel').disabled = !busy;
  toolbarStates(busy);
  $('progress').value = 0;
}

// Copy and the downloads need a ticked row; while there is none they are
// disabled, and the note under them says why.
function toolbarStates(busy = job !== null) {
  const none = rows.count === 0;
  const noneTicked = rows.tickedCount === 0;
  $('tick-all').disabled = busy || none || rows.untickedCount === 0;
  $('untick-all').disabled = busy || none || noneTicked;
  for (const button of document.querySelectorAll('#copy, [data-format]')) {
    button.disabled = busy || noneTicked;
  }
  let note = '';
  if (none) {
    note = 'Generate numbers to copy or download them.';
  } else if (noneTicked) {
    note = 'No row is ticked: tick the rows to copy or download.';
  }
  $('toolbar-note').textContent = note;
  $('toolbar-note').hidden = note === '';
}

function showCounts() {
  const ticked = rows.tickedCount;
  const note = ticked === rows.count ? '' : `, ${numberFormat.format(ticked)} ticked`;
  const results = `${numberFormat.format(rows.count)} result${rows.count === 1 ? '' : 's'}`;
  $('grid-count').textContent = rows.count === 0 ? 'No results yet' : `${results}${note}`;
  toolbarStates();
}

function announce(text) {
  $('status').textContent = text;
}

// After a run the list comes into view, so a small window shows that
// something happened; a list already in view stays where it is.
function bringResultsIntoView() {
  const box = $('results-title').getBoundingClientRect();
  if (box.top < 0 || box.top > window.innerHeight - 80) {
    $('results-title').scrollIntoView({ block: 'start' });
  }
}

async function generate() {
  clearErrors();
  const request = form();
  let count = 0;
  let showAt = 0;
  setBusy(true);
  const answer = await runJob(client, { type: 'generate', form: request, month: month() }, (data) => {
    if (data.type === 'started') {
      announce('Generating…');
      rows.clear();
      grid.setCount(0);
      const columns = ['Number'];
      if (data.expiry) {
        columns.push('Expiry');
      }
      if (data.code) {
        columns.push('Code');
      }
      grid.setColumns(columns);
      count = data.count;
      lastRun = { seed: data.seed };
      return;
    }
    rows.add(data.bytes);
    $('progress').value = count > 0 ? (rows.count / count) * 100 : 100;
    // The list grows now and then, not at every block.
    if (performance.now() >= showAt) {
      grid.setCount(rows.count);
      showAt = performance.now() + 250;
    }
  }, (id) => { job = id; });
  grid.setCount(rows.count);
  setBusy(false);
  showCounts();
  if (answer.type === 'refused') {
    // The list and the status stay as they were: nothing was made.
    showError(answer.field, answer.message);
    return;
  }
  if (answer.type === 'failed') {
    announce(`Stopped: ${answer.message}. ${numberFormat.format(rows.count)} results kept.`);
    return;
  }
  const results = `${rows.count} result${rows.count === 1 ? '' : 's'}`;
  lastRun.count = rows.count;
  announce(answer.type === 'cancelled'
    ? `Cancelled: ${results} of ${count} kept`
    : `${results} (seed ${lastRun.seed})`);
  bringResultsIntoView();
}

// The ticked rows in `format` through the engine, as byte arrays.
async function exportRows(format) {
  const parts = [];
  setBusy(true);
  announce('Preparing…');
  const answer = await runJob(client, {
    type: 'export', format, count: rows.count, unticked: rows.untickedCount > 0 ? rows.untickedBits().buffer : null,
  }, (data) => {
    parts.push(data.bytes);
    $('progress').value = (data.block / data.blocks) * 100;
  }, (id) => { job = id; });
  setBusy(false);
  if (answer.type !== 'done') {
    if (answer.memory) {
      announce('Not enough memory to export these rows without repeats; the list is kept.');
    } else {
      announce(answer.type === 'failed' ? `Export failed: ${answer.message}` : 'Export cancelled');
    }
    return null;
  }
  return parts;
}

async function download(format) {
  const parts = await exportRows(format);
  if (parts) {
    saveParts(format, parts);
    const name = FORMAT_NAMES[format] || format.toUpperCase();
    announce(`${numberFormat.format(rows.tickedCount)} ticked rows saved as ${name}`);
  }
}

async function copy() {
  const parts = await exportRows('clipboard');
  if (!parts) {
    return;
  }
  const text = await new Blob(parts).text();
  try {
    await copyText(text);
    announce(`${numberFormat.format(rows.tickedCount)} ticked rows copied. Paste them with Ctrl+V.`);
  } catch (error) {
    announce(`Could not copy: ${error.message}`);
  }
}

function tickAll(ticked) {
  rows.tickAll(ticked);
  grid.render();
  showCounts();
  announce(ticked ? 'Every row ticked' : 'Every row unticked');
}

$('generate-form').addEventListener('submit', (event) => {
  event.preventDefault();
  if (job === null) {
    generate();
  }
});
$('cancel').addEventListener('click', () => {
  if (job !== null) {
    client.cancel(job);
  }
});
$('network').addEventListener('change', networkChanged);
for (const id of ['invalid', 'group', 'ranges']) {
  $(id).addEventListener('change', fieldStates);
}
$('prefix').addEventListener('input', fieldStates);
$('prefix').addEventListener('change', fieldStates);
$('tick-all').addEventListener('click', () => tickAll(true));
$('untick-all').addEventListener('click', () => tickAll(false));
$('copy').addEventListener('click', copy);
for (const button of document.querySelectorAll('[data-format]')) {
  button.addEventListener('click', () => download(button.dataset.format));
}

client.ask({ type: 'brands' }).then((answer) => {
  brands = answer.brands;
  classic = new Set(answer.classic);
  for (const rule of answer.invalidRules) {
    $('invalid').add(new Option(RULE_TEXTS[rule] ? `${rule}: ${RULE_TEXTS[rule]}` : rule, rule));
  }
  fillNetworks();
  setUpCheckPane(client, brands, month);
  document.body.dataset.ready = 'true';
});
showCounts();
