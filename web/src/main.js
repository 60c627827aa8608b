// The page: turns its fields into a request for the engine, which runs in a
// worker, and shows what the engine writes.

import { EngineClient, runJob } from './engine-client.js';
import { Rows } from './rows.js';
import { ResultsGrid } from './results-grid.js';
import { saveParts, copyText } from './downloads.js';
import { setUpCheckPane } from './check-pane.js';

const $ = (id) => document.getElementById(id);

// The networks whose numbers the window makes, which alone have a choice of ranges.
const WINDOW_NETWORKS = new Set(['visa', 'mastercard', 'amex', 'discover']);
const ERROR_FIELDS = ['network', 'length', 'ranges', 'count', 'seed', 'invalid', 'unique', 'separator'];
// The engine's field names against the page's.
const FIELD_OF = { brand: 'network', count: 'count', seed: 'seed', length: 'length', ranges: 'ranges', invalid: 'invalid', separator: 'separator', format: 'count', prefix: 'network' };

const client = new EngineClient();
const rows = new Rows();
const numberFormat = new Intl.NumberFormat('en');
let brands = [];
let job = null; // the id of the generation or export under way
let lastRun = null; // what the list was made from

const grid = new ResultsGrid(rows, {
  grid: $('grid'), head: $('grid-head'), spacer: $('grid-spacer'), body: $('grid-body'),
}, () => showCounts());

function month() {
  const now = new Date();
  return now.getUTCFullYear() * 12 + now.getUTCMonth();
}

function fillNetworks() {
  const select = $('network');
  for (const brand of brands) {
    select.add(new Option(brand.name, brand.id));
  }
  networkChanged();
}

function networkChanged() {
  const brand = brands.find((b) => b.id === $('network').value);
  const length = $('length');
  length.replaceChildren(...brand.lengths.map((l) => new Option(String(l), String(l), false, l === brand.commonLength)));
  // Networks other than the window's four always draw from every range.
  $('ranges').value = WINDOW_NETWORKS.has(brand.id) ? 'window' : 'network';
  fieldStates();
}

// Fields that mean nothing for the current choices are disabled, not hidden,
// so nothing moves.
function fieldStates() {
  const brand = $('network').value;
  $('ranges').disabled = !WINDOW_NETWORKS.has(brand);
  $('length').disabled = $('length').options.length < 2 || $('invalid').value === 'length';
  $('separator').disabled = !$('group').checked;
}

function form() {
  const request = {
    brand: $('network').value,
    count: $('count').value.trim(),
    group: $('group').checked,
    unique: $('unique').checked,
    withExpiry: $('with-expiry').checked,
    withCvv: $('with-cvv').checked,
  };
  if (!$('ranges').disabled) {
    request.ranges = $('ranges').value;
  }
  if (!$('length').disabled) {
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
    const control = $(field === 'unique' ? 'unique' : field);
    control.removeAttribute('aria-invalid');
  }
}

function showError(field, message) {
  const name = FIELD_OF[field] || 'count';
  $(`${name}-error`).textContent = message;
  const control = $(name);
  control.setAttribute('aria-invalid', 'true');
  control.setAttribute('aria-describedby', `${name}-error`);
  control.focus();
}

function setBusy(busy) {
  job = busy ? job : null;
  $('start').disabled = busy;
  $('cancel').disabled = !busy;
  for (const button of document.querySelectorAll('.toolbar button')) {
    button.disabled = busy || rows.count === 0;
  }
  $('progress').value = 0;
}

function showCounts() {
  const ticked = rows.tickedCount;
  const note = ticked === rows.count ? '' : `, ${numberFormat.format(ticked)} ticked`;
  $('grid').setAttribute('aria-description', `${numberFormat.format(rows.count)} results${note}`);
}

function announce(text) {
  $('status').textContent = text;
}

async function generate() {
  clearErrors();
  const request = form();
  const before = $('status').textContent;
  let count = 0;
  let showAt = 0;
  setBusy(true);
  announce('Generating…');
  const answer = await runJob(client, { type: 'generate', form: request, month: month() }, (data) => {
    if (data.type === 'started') {
      rows.clear();
      grid.setCount(0);
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
  showCounts();
  setBusy(false);
  if (answer.type === 'refused') {
    announce(before);
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
}

// The ticked rows in `format` through the engine, as byte arrays.
async function exportRows(format) {
  const parts = [];
  const before = $('status').textContent;
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
    announce(answer.type === 'failed' ? `Export failed: ${answer.message}` : 'Export cancelled');
    return null;
  }
  announce(before);
  return parts;
}

async function download(format) {
  const parts = await exportRows(format);
  if (parts) {
    saveParts(format, parts);
    announce(`${numberFormat.format(rows.tickedCount)} ticked rows saved as ${format === 'table' ? 'text' : format.toUpperCase()}`);
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
$('invalid').addEventListener('change', fieldStates);
$('group').addEventListener('change', fieldStates);
$('tick-all').addEventListener('click', () => tickAll(true));
$('untick-all').addEventListener('click', () => tickAll(false));
$('copy').addEventListener('click', copy);
for (const button of document.querySelectorAll('[data-format]')) {
  button.addEventListener('click', () => download(button.dataset.format));
}

client.ask({ type: 'brands' }).then((answer) => {
  brands = answer.brands;
  fillNetworks();
  document.body.dataset.ready = 'true';
});
setUpCheckPane(client, month);
