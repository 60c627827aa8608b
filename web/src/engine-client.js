// The page's side of the worker. The worker's code is built into this
// script as text and started from a blob, since browsers refuse a worker
// file from a page opened from disk.
import workerSource from 'pellorin-worker.txt';

export class EngineClient {
  constructor() {
    const url = URL.createObjectURL(new Blob([workerSource], { type: 'text/javascript' }));
    this.worker = new Worker(url);
    this.nextId = 1;
    this.listeners = new Map();
    this.worker.onmessage = ({ data }) => {
      const listener = this.listeners.get(data.id);
      if (listener) {
        listener(data);
      }
    };
    this.worker.onerror = (event) => {
      for (const listener of this.listeners.values()) {
        listener({ type: 'failed', message: event.message || 'the engine stopped' });
      }
    };
  }

  // Sends a job; `onMessage` gets every answer to it until it returns true.
  start(message, onMessage) {
    const id = this.nextId++;
    this.listeners.set(id, (data) => {
      if (onMessage(data)) {
        this.listeners.delete(id);
      }
    });
    this.worker.postMessage({ ...message, id }, message.transfer || []);
    return id;
  }

  cancel(id) {
    this.worker.postMessage({ type: 'cancel', target: id });
  }

  // A job with one answer, as a promise.
  ask(message) {
    return new Promise((resolve) => {
      this.start(message, (data) => {
        resolve(data);
        return true;
      });
    });
  }
}

// Runs a job whose answers end with 'done', 'cancelled' or 'failed';
// `onPart` gets the others. Resolves with the last answer.
export function runJob(client, message, onPart, onId) {
  return new Promise((resolve) => {
    const id = client.start(message, (data) => {
      if (data.type === 'done' || data.type === 'cancelled' || data.type === 'failed' || data.type === 'refused') {
        resolve(data);
        return true;
      }
      onPart(data);
      return false;
    });
    if (onId) {
      onId(id);
    }
  });
}
