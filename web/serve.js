// A static file server for the web build, on the loopback interface only:
//   node web/serve.js [DIR [PORT]]     (DIR defaults to build-web/site, PORT to 8080; 0 = any free)
// Prints "serving DIR at http://127.0.0.1:PORT/" once it listens. Also used by the browser tests.
'use strict';
const fs = require('fs');
const http = require('http');
const path = require('path');

const types = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8', '.json': 'application/json', '.wasm': 'application/wasm',
  '.png': 'image/png', '.jpg': 'image/jpeg', '.ogg': 'audio/ogg',
};

function serve(root, port, host = '127.0.0.1') {
  root = path.resolve(root);
  const server = http.createServer((req, res) => {
    let name;
    try {
      name = decodeURIComponent(new URL(req.url, 'http://localhost').pathname);
    } catch (e) {
      res.writeHead(400).end();
      return;
    }
    if (name.endsWith('/')) name += 'index.html';
    const file = path.join(root, path.normalize(name));
    if (file !== root && !file.startsWith(root + path.sep)) {
      res.writeHead(403).end();
      return;
    }
    fs.stat(file, (err, st) => {
      if (err || !st.isFile()) {
        res.writeHead(404, { 'Content-Type': 'text/plain' }).end('not found\n');
        return;
      }
      res.writeHead(200, {
        'Content-Type': types[path.extname(file)] || 'application/octet-stream',
        'Content-Length': st.size,
        'Cache-Control': 'no-cache',
      });
      if (req.method === 'HEAD') return res.end();
      fs.createReadStream(file).pipe(res);
    });
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, host, () => resolve(server));
  });
}

module.exports = { serve };

if (require.main === module) {
  const root = process.argv[2] || path.join(__dirname, '..', 'build-web', 'site');
  const port = Number(process.argv[3] || 8080);
  serve(root, port).then((server) => {
    console.log(`serving ${root} at http://127.0.0.1:${server.address().port}/`);
  }, (err) => {
    console.error(`cannot serve on port ${port}: ${err.message}`);
    process.exit(1);
  });
}
