// Calls to the teds serve API. The access token comes with the address the server
// printed; it is kept for this tab and taken out of the address bar.
const params = new URLSearchParams(location.search);
if (params.has('token')) {
  sessionStorage.setItem('tedskit-token', params.get('token'));
  history.replaceState(null, '', location.pathname);
}
const token = sessionStorage.getItem('tedskit-token') || '';

export class ApiError extends Error {
  constructor(message, field, status) {
    super(message);
    this.field = field || '';
    this.status = status;
  }
}

async function call(method, path, body) {
  const response = await fetch(path, {
    method,
    headers: { 'X-Tedskit-Token': token, 'Content-Type': 'application/json' },
    body: body === undefined ? undefined : JSON.stringify(body),
  });
  if (!response.ok) {
    let answer = {};
    try { answer = await response.json(); } catch { /* not JSON: the status says it */ }
    throw new ApiError(answer.error || `${response.status} ${response.statusText}`, answer.field, response.status);
  }
  return response;
}

export async function get(path) {
  return (await call('GET', path)).json();
}

export async function post(path, body) {
  return (await call('POST', path, body)).json();
}

// For downloads: the answer's bytes.
export async function postForBlob(path, body) {
  return (await call('POST', path, body)).blob();
}

// A file's bytes as base64, for the JSON of a request.
export async function fileAsBase64(file) {
  const bytes = new Uint8Array(await file.arrayBuffer());
  let binary = '';
  for (let i = 0; i < bytes.length; i += 0x8000) {
    binary += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  }
  return btoa(binary);
}
