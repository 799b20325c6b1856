'use strict';
// The monitor's live page: the window drawn from the layout the monitor sends and kept up
// to date over /ws/state, a chart of the last ten minutes, the station log and, for the
// holder of the control token, the frequency and volume commands.

const kHistorySeconds = 600;
const kEventsShown = 50;
const kRetryFirst = 1000;
const kRetryLast = 5000;
const kControlKey = 'tallowmere_control';
const kLevelColour = '#40C0FF';
const kGroupsColour = '#FFB040';

const $ = (id) => document.getElementById(id);
// The ViewToken of an address such as /?token=... is in the page's cookie now: it leaves the
// address bar and the history at once, and no later request carries it in its address.
if (new URLSearchParams(location.search).has('token')) {
  const address = new URL(location.href);
  address.searchParams.delete('token');
  history.replaceState(null, '', address);
}
const page = { layout: null, fields: new Map(), receiver: null, counters: null, online: false, samples: [], events: [] };
const measure = document.createElement('canvas').getContext('2d');

// ---- the window ----

function buildWindow(layout) {
  page.layout = layout;
  page.fields.clear();
  const box = $('window');
  box.replaceChildren();
  box.style.width = `${layout.width}px`;
  box.style.height = `${layout.height}px`;
  for (const look of layout.fields) {
    const el = document.createElement('div');
    el.id = `f-${look.name}`;
    el.className = `field ${look.kind} ${look.align} ${look.border} ${look.face}`;
    Object.assign(el.style, {
      left: `${look.x}px`, top: `${look.y}px`, width: `${look.w}px`, height: `${look.h}px`,
      fontSize: `${look.size}px`, fontWeight: look.bold ? 'bold' : 'normal',
    });
    box.append(el);
    page.fields.set(look.name, { el, look, state: {} });
  }
  fitWindow();
}

// An update names only the keys that changed; the rest stay as they were.
function applyField(name, change) {
  const field = page.fields.get(name);
  if (!field) return;
  const { el, look, state } = field;
  Object.assign(state, change);
  el.textContent = state.shown;
  el.style.color = state.fg;
  el.style.backgroundColor = state.bg ?? '';  // none: the window's grey (a button's face) shows
  el.hidden = !state.visible;
  if (name === 'lblPS') fitText(el, look, state.shown);
}

// The window draws a programme service name too wide for its box smaller, so that all
// eight characters show; so does the page.
function fitText(el, look, text) {
  const room = look.w - 12;  // inside the frame, a little air either side
  let size = look.size;
  for (; size > 4; size -= 1) {
    measure.font = `${look.bold ? 'bold ' : ''}${size}px "Liberation Sans", Arial, sans-serif`;
    if (measure.measureText(text).width <= room) break;
  }
  el.style.fontSize = `${size}px`;
}

// The window keeps its pixel size; the page scales it to the width it has.
function fitWindow() {
  if (!page.layout) return;
  const scale = $('frame').clientWidth / page.layout.width;
  $('window').style.transform = `scale(${scale})`;
  $('frame').style.height = `${page.layout.height * scale}px`;
}

function showConnection() {
  const line = $('connection');
  const r = page.receiver;
  if (!page.online) {
    line.textContent = 'monitor unreachable';
    line.className = 'down';
  } else if (!r || !r.connected) {
    line.textContent = 'receiver not connected';
    line.className = 'warn';
  } else {
    const tuned = r.frequency ? `, ${r.frequency} MHz` : '';
    const groups = page.counters ? `, ${page.counters.groups} groups` : '';
    line.textContent = `receiver ${r.device}${tuned}${groups}`;
    line.className = 'ok';
  }
  if (r) document.title = r.title;
}

// ---- the chart: signal level and groups per second ----

function niceTop(index, least, step) {
  const values = page.samples.map((s) => s[index]).filter((v) => v !== null);
  return Math.max(least, Math.ceil(Math.max(0, ...values) / step) * step);
}

function drawChart() {
  const canvas = $('chart');
  const ratio = window.devicePixelRatio || 1;
  const w = canvas.clientWidth;
  const h = canvas.clientHeight;
  canvas.width = w * ratio;
  canvas.height = h * ratio;
  const g = canvas.getContext('2d');
  g.scale(ratio, ratio);
  const pad = { left: 44, right: 44, top: 20, bottom: 22 };
  const plotW = w - pad.left - pad.right;
  const plotH = h - pad.top - pad.bottom;
  const end = page.samples.length ? page.samples.at(-1)[0] : 0;
  const x = (t) => pad.left + plotW * (1 - (end - t) / kHistorySeconds);
  const axes = [
    { index: 1, top: niceTop(1, 80, 20), colour: kLevelColour, title: 'dBµV', at: pad.left - 4, align: 'right' },
    { index: 2, top: niceTop(2, 16, 4), colour: kGroupsColour, title: 'groups/s', at: w - pad.right + 4, align: 'left' },
  ];
  g.font = '11px "Liberation Sans", Arial, sans-serif';
  g.lineWidth = 1;
  for (let i = 0; i <= 4; ++i) {
    const y = pad.top + (plotH * i) / 4;
    g.strokeStyle = '#383838';
    g.beginPath();
    g.moveTo(pad.left, y);
    g.lineTo(w - pad.right, y);
    g.stroke();
    for (const axis of axes) {
      g.fillStyle = axis.colour;
      g.textAlign = axis.align;
      g.fillText(String((axis.top * (4 - i)) / 4), axis.at, y + 4);
    }
  }
  g.fillStyle = '#C0C0C0';
  g.textAlign = 'center';
  for (let minutes = 0; minutes <= 10; minutes += 2) {
    g.fillText(minutes ? `-${minutes} min` : 'now', x(end - minutes * 60), h - 6);
  }
  for (const axis of axes) {
    g.fillStyle = axis.colour;
    g.textAlign = axis.align === 'right' ? 'left' : 'right';
    g.fillText(axis.title, axis.align === 'right' ? pad.left : w - pad.right, 12);
    plotLine(g, axis, x, (v) => pad.top + plotH * (1 - Math.min(v, axis.top) / axis.top));
  }
}

// A second without a level (no report from the receiver) leaves a gap in its line.
function plotLine(g, axis, x, y) {
  g.strokeStyle = axis.colour;
  g.lineWidth = 1.5;
  g.beginPath();
  let drawing = false;
  for (const sample of page.samples) {
    const v = sample[axis.index];
    if (v === null) {
      drawing = false;
    } else {
      g[drawing ? 'lineTo' : 'moveTo'](x(sample[0]), y(v));
      drawing = true;
    }
  }
  g.stroke();
}

function addSamples(samples) {
  page.samples.push(...samples);
  page.samples.splice(0, page.samples.length - kHistorySeconds);
}

// ---- the station log, newest first ----

function eventItem({ time, event, ...rest }) {
  const item = document.createElement('li');
  const when = document.createElement('time');
  when.dateTime = time;
  when.textContent = time.replace('T', ' ').slice(0, 19);
  const name = document.createElement('span');
  name.className = 'event';
  name.textContent = event;
  const plain = (v) => typeof v === 'string' && v !== '' && !/[\s"=]/.test(v);
  const details = Object.entries(rest).map(([k, v]) => `${k}=${plain(v) ? v : JSON.stringify(v)}`);
  item.append(when, name, details.join(' '));
  return item;
}

function addEvents(events) {
  page.events = page.events.concat(events).slice(-kEventsShown);
  $('events').replaceChildren(...page.events.map(eventItem).reverse());
}

// ---- following the monitor ----

function receive(message) {
  const full = message.type === 'full';
  if (full) {
    buildWindow(message.layout);
    page.online = true;
    page.samples = [];
    page.events = [];
    message = { ...message.state, samples: message.history, events: message.events };
  } else if (message.type !== 'update') {
    return;
  }
  for (const [name, change] of Object.entries(message.fields ?? {})) applyField(name, change);
  page.receiver = message.receiver ?? page.receiver;
  page.counters = message.counters ?? page.counters;
  if (message.station) showDetails(message.station);
  showConnection();
  if (full || message.samples?.length) {
    addSamples(message.samples ?? []);
    drawChart();
  }
  if (full || message.events?.length) addEvents(message.events ?? []);
}

let retryDelay = kRetryFirst;
function connect() {
  const url = new URL('/ws/state', location.href);
  url.protocol = location.protocol === 'https:' ? 'wss:' : 'ws:';
  const socket = new WebSocket(url);
  socket.onopen = () => {
    retryDelay = kRetryFirst;
  };
  socket.onmessage = (m) => receive(JSON.parse(m.data));
  socket.onclose = () => {
    page.online = false;
    showConnection();
    setTimeout(connect, retryDelay);
    retryDelay = Math.min(retryDelay * 2, kRetryLast);
  };
}

// ---- control ----

const controlToken = () => sessionStorage.getItem(kControlKey);

function showControls() {
  $('controls').hidden = !controlToken();
}

// Sends what the operator typed, as typed into the window's box; answers with what the
// box shows afterwards.
async function command(path, text) {
  try {
    const answer = await fetch(path, {
      method: 'POST',
      headers: { Authorization: `Bearer ${controlToken()}`, 'Content-Type': 'text/plain; charset=utf-8' },
      body: text,
    });
    if (answer.status === 403) {
      sessionStorage.removeItem(kControlKey);
      showControls();
      return 'token refused';
    }
    if (!answer.ok) return `refused (${answer.status})`;
    return `the box shows "${(await answer.json()).box}"`;
  } catch {
    return 'monitor unreachable';
  }
}

function bindCommand(formId, inputId, button, path) {
  $(formId).addEventListener('submit', async (e) => {
    e.preventDefault();
    const reply = await command(path, $(inputId).value);
    $('control-answer').textContent = `${button}: ${reply}`;
    $('control-answer').hidden = false;
  });
}

$('control-open').addEventListener('click', () => {
  $('token-form').hidden = false;
  $('token').focus();
});
$('token-form').addEventListener('submit', (e) => {
  e.preventDefault();
  sessionStorage.setItem(kControlKey, $('token').value);
  $('token').value = '';
  $('token-form').hidden = true;
  showControls();
});
bindCommand('freq-form', 'freq-text', 'CHANGE FREQ', '/api/frequency');
bindCommand('vol-form', 'vol-text', 'SET VOL', '/api/volume');
window.addEventListener('resize', () => {
  fitWindow();
  drawChart();
});
showControls();
drawChart();
connect();
