// Saving bytes the worker made as a file the browser downloads.

const TYPES = {
  text: ['pellorin-numbers.txt', 'text/plain'],
  table: ['pellorin.txt', 'text/plain'],
  csv: ['pellorin.csv', 'text/csv'],
  json: ['pellorin.json', 'application/json'],
  ndjson: ['pellorin.ndjson', 'application/x-ndjson'],
  tsv: ['pellorin.tsv', 'text/tab-separated-values'],
  verdicts: ['pellorin-check.txt', 'text/plain'],
};

export function saveParts(kind, parts) {
  const [name, type] = TYPES[kind];
  const url = URL.createObjectURL(new Blob(parts, { type }));
  const link = document.createElement('a');
  link.href = url;
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  // The download has its own hold on the bytes once it has started.
  setTimeout(() => URL.revokeObjectURL(url), 60000);
}

// The clipboard API where the page may use it; otherwise the older copy
// command through a hidden text box.
export async function copyText(text) {
  try {
    await navigator.clipboard.writeText(text);
    return;
  } catch (error) {
    const box = document.createElement('textarea');
    box.value = text;
    box.setAttribute('aria-hidden', 'true');
    box.style.position = 'fixed';
    box.style.opacity = '0';
    document.body.append(box);
    const focused = document.activeElement;
    box.select();
    const copied = document.execCommand('copy');
    box.remove();
    if (focused) {
      focused.focus();
    }
    if (!copied) {
      throw error;
    }
  }
}
