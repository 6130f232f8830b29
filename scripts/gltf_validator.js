// Command line over the Khronos glTF validator: validates each file given, prints one line
// per file with its error and warning counts, and the errors themselves. Exit status 1 when
// any file has an error.
'use strict';
const fs = require('fs');
const path = require('path');
const validator = require(path.join(__dirname, 'node_modules', 'gltf-validator'));

async function validate(file) {
  const bytes = new Uint8Array(fs.readFileSync(file));
  const report = await validator.validateBytes(bytes, {
    uri: path.basename(file),
    maxIssues: 100,
    externalResourceFunction: (uri) => new Promise((resolve, reject) => {
      fs.readFile(path.join(path.dirname(file), decodeURIComponent(uri)), (err, data) => {
        if (err) reject(err.toString()); else resolve(new Uint8Array(data));
      });
    }),
  });
  const issues = report.issues;
  console.log(`${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings`);
  for (const m of issues.messages) {
    if (m.severity === 0) console.log(`  error ${m.code} ${m.pointer || ''}: ${m.message}`);
  }
  return issues.numErrors;
}

(async () => {
  const files = process.argv.slice(2);
  if (files.length === 0) {
    console.error('usage: gltf_validator FILE.gltf|FILE.glb ...');
    process.exit(2);
  }
  let errors = 0;
  for (const f of files) {
    try {
      errors += await validate(f);
    } catch (e) {
      console.log(`${f}: could not be validated: ${e}`);
      errors += 1;
    }
  }
  process.exit(errors > 0 ? 1 : 0);
})();
