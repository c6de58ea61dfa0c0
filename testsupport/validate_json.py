#!/usr/bin/env python3
"""validate_json.py SCHEMA JSON...: checks each JSON file against the schema.

Exit code 0 when all are valid, 1 when one is not (the faults on standard
error), 3 when the jsonschema module is missing (python3-jsonschema).
"""
import json
import sys

try:
    import jsonschema
except ImportError:
    sys.exit(3)


def main(schema_path, paths):
    with open(schema_path, encoding="utf-8") as f:
        schema = json.load(f)
    validator_class = jsonschema.validators.validator_for(schema)
    validator_class.check_schema(schema)
    validator = validator_class(schema)
    faults = 0
    for path in paths:
        with open(path, encoding="utf-8") as f:
            instance = json.load(f)
        for error in validator.iter_errors(instance):
            where = "/".join(str(p) for p in error.absolute_path)
            print(f"{path}: /{where}: {error.message}", file=sys.stderr)
            faults += 1
    return 1 if faults else 0


if __name__ == "__main__":
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    sys.exit(main(sys.argv[1], sys.argv[2:]))
